#pragma once

#include "core/app/ui_ports.h"

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

} // namespace bench
