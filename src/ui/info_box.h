// The information box at the top of the settings page.
#pragma once

#include <cstdint>
#include <string>

namespace Tabs {

void AddInfoBox(int page, const char* description, const char* about, const char* image,
                int16_t descriptionHeight, const char* name, bool withGroup);
std::string SetOption(const std::string& text, const std::string& key, const std::string& value);
bool HasOption(const std::string& text, const std::string& key);

}  // namespace Tabs
