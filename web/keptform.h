#pragma once

#include "design.h"
#include "page.h"

#include <span>
#include <string_view>
#include <utility>

// The form kept across a reload: a phone reloads a tab it has kept in the background, and Back
// reloads the page, so the names typed and the count chosen come back, as a browser brings back
// a form, for this tab alone (the tab's session storage, nothing longer).
namespace keptform {

// Every control the window made, with its design.
using Controls = std::span<const std::pair<const design::Control *, page::Element>>;

// Brings back what the tab kept; what a guest typed or chose on the page before the program ran
// comes first.
void restore(Controls controls);
void keepName(const design::Control &field, std::string_view name);
void keepCount(const design::Control &option);

} // namespace keptform
