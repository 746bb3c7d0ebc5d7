#include "app/SettingsTable.h"

#include <cstring>

namespace kw {

const SliderSetting* findSlider(const char* name) {
    for (const auto& s : kSliders)
        if (std::strcmp(s.name, name) == 0)
            return &s;
    return nullptr;
}

} // namespace kw
