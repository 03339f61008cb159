// ROT-n letter rotation and the checks and conversions of the level the user types.
#pragma once

#include <string>
#include <string_view>

#include "rot/alphabet.h"

// Moves each ASCII letter `level` places along its own alphabet; every other UTF-16 unit is copied as is.
// Any level is a true rotation: 27 acts as 1 and -1 as 25.
std::u16string RotText(std::u16string_view text, int level);
// The same written into `out`, which holds text.size() units and does not overlap the text.
void RotText(std::u16string_view text, int level, char16_t *out);

// The first problem found in what the user typed, in the order the user is told of them.
enum class InputProblem { None, EmptyText, EmptyLevel, LevelNotNumeric, LevelOutOfRange };

bool IsLevelNumeric(std::u16string_view levelText);
// True when the level, read as a number, lies strictly between -1 and 27.
bool IsLevelInRange(std::u16string_view levelText);
InputProblem CheckInput(std::u16string_view text, std::u16string_view levelText);

// Levels for an accepted level text, rounded to the nearest whole number with ties to even.
int EncodeLevel(std::u16string_view levelText);
int DecodeLevel(std::u16string_view levelText);
