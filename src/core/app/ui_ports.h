#pragma once

#include <string>

namespace harpoly {

// The two prompts of the main window. The Qt window shows real modal boxes;
// tests answer OK or Cancel and record what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A question with OK and Cancel. `detail` is extra text (for instance the
    // list of old and new names) that a box may show beside the question.
    // Returns true only when OK is chosen.
    virtual bool ask(const std::string& question, const std::string& caption,
                     const std::string& detail = {}) = 0;
    // A message with OK.
    virtual void notice(const std::string& text, const std::string& caption) = 0;
};

// The busy indicator around a batch operation: begin() with the number of
// progress steps, one step() per list entry passed, end() on the normal path.
class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void begin(int steps) = 0;
    virtual void step() = 0;
    virtual void end() = 0;
};

} // namespace harpoly
