// Tells the build what to cut from which faces for the page: for each control whose fixed
// caption the page draws in a face of its own, one line of tab-separated fields,
//
//     family  caption  face  face ...
//
// with the design's faces in the order to try them. Run under Node at build time.

#include "design.h"
#include "embeddedfaces.h"

#include <cstdio>
#include <string>

int main()
{
    for (std::string_view name : embeddedfaces::Controls) {
        const design::Control &control = *design::control(name);
        std::string line = embeddedfaces::family(name) + '\t' + std::string(control.caption);
        for (std::string_view face : control.font->faces)
            line += '\t' + std::string(face);
        std::puts(line.c_str());
    }
}
