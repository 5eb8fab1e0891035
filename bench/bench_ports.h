#pragma once

#include "core/app/ui_ports.h"
#include "core/settings/settings.h"

#include <fstream>
#include <string>

namespace bench {

// Answers OK to every question, as a user confirming each run would.
class AlwaysOk : public harpoly::Prompter {
public:
    bool ask(const std::string&, const std::string&, const std::string&) override { return true; }
    void notice(const std::string&, const std::string&) override {}
};

// A busy indicator that only counts its steps.
class CountingBar : public harpoly::BusyIndicator {
public:
    void begin(int) override {}
    void step() override { ++steps; }
    void end() override {}
    int steps = 0;
};

// Writes the settings a first start seeds, with `displayFolder` as the
// display folder, to `path`.
inline void writeSeedSettings(const std::string& path, const std::string& displayFolder) {
    std::ofstream ini(path, std::ios::binary);
    for (const char* line : harpoly::kSeedSettingsLines) {
        ini << line << "\r\n";
    }
    ini << "[Set]\r\nDir=" << displayFolder << "\r\n";
}

} // namespace bench
