#include "ui/info_box.h"

#include <cstdlib>

#include "build_stamp.h"
#include "host/host.h"
#include "ui/elements.h"

namespace Tabs {

namespace {

// Option keys carry their leading byte 0x1A and their "=".
constexpr char kImageUrl[] = "\x1A" "imgurl=";
constexpr char kIconSize[] = "\x1A" "iconsize=";
constexpr char kTipRich[] = "\x1A" "tipRich=";
constexpr char kTipWidth[] = "\x1A" "tipWidth=";

constexpr uint32_t kImageWithOptions = 0x001C0040;
constexpr uint32_t kRichText = 0x00180080;

// An option's value runs up to the next byte below 0x08 or 0x1A.
bool EndsOption(unsigned char c) { return c < 0x08 || c == 0x1A; }

void AddPageElement(int page, uint32_t status, const char* text, uint16_t width = 0, uint16_t height = 0) {
    ActionInfo a;
    BuildActionInfo(a, page, 0, -1, status, text, 0, width, height);
    Send(Host::kElementInsert, &a);
}

// The plug-in's own name, as it answers it to the host (message 30016).
std::string OwnName() {
    HostMessage m;
    BuildHostMessage(m, Host::kMsgName);
    const char* name = reinterpret_cast<const char*>(hostControl->sendTo(hostControl->ownId(), &m));
    return name ? name : "";
}

// The host writes the version into a buffer whose size it is not told.
std::string OwnVersion() {
    char buffer[64] = {};
    int version = Send(Host::kPluginVersion, hostControl->ownId());
    Send(Host::kVersionText, version, reinterpret_cast<intptr_t>(buffer));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::string Title(const char* name) {
    if (name) return name;
    std::string title = OwnName();
    std::string version = OwnVersion();
    if (hostControl->infoFlag() != 1) title += " " + version;
    return title;
}

std::string ImageOptions(const char* image, const std::string& tip) {
    std::string options;
    if (image) {
        options = SetOption(options, kImageUrl, image);
        if (!HasOption(options, kIconSize)) options = SetOption(options, kIconSize, "32");
    }
    options = SetOption(options, kTipRich, tip);
    return SetOption(options, kTipWidth, "300");
}

}  // namespace

void AddInfoBox(int page, const char* description, const char* about, const char* image,
                int16_t descriptionHeight, const char* name, bool withGroup) {
    if (!hostControl) return;
    if (withGroup) AddPageElement(page, Status::GroupStart, "");
    std::string tip = Title(name);
    if (!tip.empty()) tip = "<b>" + tip + "</b><br/>";
    if (about) tip += about;
    std::string options = ImageOptions(image, tip);
    AddPageElement(page, kImageWithOptions, options.c_str(), 40, 40);

    ActionInfo a;
    BuildActionInfoExtended(a, page, 0, -1, kRichText, description, 0, 0, 0, 300,
                            static_cast<uint16_t>(descriptionHeight));
    Send(Host::kElementInsert, &a);
    if (withGroup) AddPageElement(page, Status::GroupEnd, nullptr);
}

std::string SetOption(const std::string& text, const std::string& key, const std::string& value) {
    size_t start = text.find('\x04');
    if (start == std::string::npos) start = 0;
    size_t p = text.find(key, start);
    if (p == std::string::npos) return text + key + value;
    size_t q = p;
    while (q < text.size() && !EndsOption(static_cast<unsigned char>(text[q]))) ++q;
    return text.substr(0, p) + key + value + text.substr(q);
}

bool HasOption(const std::string& text, const std::string& key) {
    if (!key.empty()) return text.find(key) != std::string::npos;
    return text.empty() || !EndsOption(static_cast<unsigned char>(text[0]));
}

std::string BuildStamp(const char* date, const char* time) {
    std::string d(date);
    if (d.size() < 11) return std::string(time) + " @ " + d;
    return std::string(time) + " @ " + d.substr(0, 3) + " " + std::to_string(std::atoi(d.c_str() + 4)) + " " +
           d.substr(7, 4);
}

std::string AboutText() {
    return std::string("Więcej informacji i źródła na stronie projektu - ") + kProjectPage +
           "<br/><span class=\"note\">Skompilowano: <b>" + BuildStamp(ZAVERNOK_BUILD_DATE, ZAVERNOK_BUILD_TIME) +
           "</b></span><br/><br/>© 2026 Zespół Zavernok<br/>© 2026 Współtwórcy i tłumacze projektu";
}

}  // namespace Tabs
