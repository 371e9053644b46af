#pragma once

#include <array>
#include <span>
#include <string>

// The launcher's hint line: which picture button lies under the mouse and what the line
// then says.

// One picture button: its rectangle in the launcher's client coordinates and its Tag.
struct THintTarget {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Tag = 0;
};

// The first target whose rectangle holds the point (left and top edges inside, right and
// bottom edges outside); nullptr when the point is over none of them.
const THintTarget* TargetAt(std::span<const THintTarget> targets, int x, int y);

// The hint-line texts, indexed by the buttons' Tag; entry 0 is the neutral text.
const std::array<std::string, 7>& HintTexts();

// "友情提示: " and the hint text of a Tag from 1 to 6.
std::string HintLineText(int tag);

// The balloon hint of the tips button, which names the support contacts.
std::string HelpButtonHint();
