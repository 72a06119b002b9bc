#pragma once

#include "ruretcontrols.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A window stand-in that logs every control operation in the order the roulette makes it,
// so tests can state the expected conversation with the window line by line.
class RecordingControls : public RuretControls
{
public:
    // Index 0 is unused so that names[slot] reads like the field it stands for.
    std::array<std::string, 6> names {"", "佐藤", "鈴木", "高橋", "田中", "伊藤"};
    std::array<bool, 6> visible {true, true, true, true, true, true};
    int optionOn = 5; // the count whose button is on; 0 when none is
    std::string caption;
    Colour backColour = RunningColour;
    int messageBoxes = 0;

    // When set, its text is appended to every logged write: lets a test see the roulette's
    // own state at the moment it touched the window.
    std::function<std::string()> stateProbe;

    std::vector<std::string> log;

    std::vector<std::string> takeLog() { return std::exchange(log, {}); }

    std::string nameText(int slot) override
    {
        log.push_back("Text" + std::to_string(slot) + "?");
        return names.at(slot);
    }
    void setNameVisible(int slot, bool shown) override
    {
        visible.at(slot) = shown;
        write("Text" + std::to_string(slot) + ".Visible=" + (shown ? "true" : "false"));
    }
    bool optionValue(int count) override
    {
        log.push_back("Option" + std::to_string(count) + "?");
        return optionOn == count;
    }
    void setResultCaption(const std::string &text) override
    {
        caption = text;
        write("Label3.Caption=" + text);
    }
    void setResultBackColour(Colour colour) override
    {
        backColour = colour;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(colour));
        write(std::string("Label3.BackColor=") + hex);
    }
    void messageBox(const std::string &prompt, int style, const std::string &title) override
    {
        ++messageBoxes;
        write("MsgBox(" + prompt + ", " + std::to_string(style) + ", " + title + ")");
    }

private:
    void write(std::string entry)
    {
        if (stateProbe)
            entry += " " + stateProbe();
        log.push_back(std::move(entry));
    }
};
