// The information box at the top of the settings page.
#pragma once

#include <cstdint>
#include <string>

namespace Tabs {

inline constexpr char kProjectPage[] = "https://zavernok.example.org";

void AddInfoBox(int page, const char* description, const char* about, const char* image,
                int16_t descriptionHeight, const char* name, bool withGroup);
std::string SetOption(const std::string& text, const std::string& key, const std::string& value);
bool HasOption(const std::string& text, const std::string& key);

// The rich about text: project page, build stamp, copyright lines.
std::string AboutText();
// "hh:mm:ss @ Mon d yyyy" from a date and a time in the compiler's __DATE__
// ("Mon dd yyyy", the day padded with a blank) and __TIME__ ("hh:mm:ss")
// forms. The module's are those of the commit it was built from.
std::string BuildStamp(const char* date, const char* time);

}  // namespace Tabs
