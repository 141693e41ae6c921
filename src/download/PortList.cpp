#include "download/PortList.h"

#include "download/DownloadFailure.h"

#include <algorithm>

namespace download {

namespace {

bool listed(const std::vector<TPortInfo>& ports, const std::string& device) {
    return !device.empty() && std::any_of(ports.begin(), ports.end(),
                                          [&](const TPortInfo& p) { return p.device == device; });
}

} // namespace

std::string PortEntryText(const TPortInfo& port) {
    std::string text = PortShortName(port.device);
    if (!port.description.empty())
        text += " - " + port.description;
    if (!port.manufacturer.empty() && port.manufacturer != port.description)
        text += (port.description.empty() ? " - " : " (") + port.manufacturer +
                (port.description.empty() ? "" : ")");
    return text;
}

TPortChoice ChoosePort(const std::vector<TPortInfo>& before, const std::vector<TPortInfo>& after,
                       bool firstListing, const std::string& current, const std::string& lastUsed) {
    std::vector<std::string> adapters, newAdapters;
    for (const TPortInfo& port : after) {
        if (!port.usb)
            continue;
        adapters.push_back(port.device);
        if (!firstListing && !listed(before, port.device))
            newAdapters.push_back(port.device);
    }
    if (adapters.size() == 1 && newAdapters.size() == 1)
        return {newAdapters.front(), TPortChoiceReason::NewAdapter};
    if (listed(after, current))
        return {current, TPortChoiceReason::Kept};
    if (listed(after, lastUsed))
        return {lastUsed, TPortChoiceReason::LastUsed};
    if (adapters.size() == 1)
        return {adapters.front(), TPortChoiceReason::OnlyAdapter};
    return {};
}

} // namespace download
