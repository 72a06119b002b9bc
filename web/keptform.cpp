#include "keptform.h"

#include <algorithm>

namespace keptform {

namespace {

// Under which key the tab keeps the count button that is on; each name under its field's.
constexpr std::string_view CountKey = "count";

} // namespace

void restore(Controls controls)
{
    const bool countChosen = std::any_of(controls.begin(), controls.end(), [](const auto &made) {
        return made.first->kind == design::Kind::OptionButton
            && page::checked(made.second) != made.first->on;
    });
    for (const auto &[design, element] : controls) {
        if (design->kind == design::Kind::TextBox) {
            const auto kept = page::sessionValue(design->name);
            if (kept && page::value(element) == design->caption)
                page::setValue(element, *kept);
        } else if (design->kind == design::Kind::OptionButton && !countChosen
                   && page::sessionValue(CountKey) == design->name) {
            page::setChecked(element, true);
        }
    }
}

void keepName(const design::Control &field, std::string_view name)
{
    page::setSessionValue(field.name, name);
}

void keepCount(const design::Control &option)
{
    page::setSessionValue(CountKey, option.name);
}

} // namespace keptform
