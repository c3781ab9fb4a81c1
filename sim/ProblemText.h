#pragma once

#include <string>

#include "Vec2.h"

// Pieces of the sentences that sceneProblem and recordingProblem return. Numbers are written
// without the program's locale, so that a decimal point stays a point.

// The shortest decimal form that reads back to the same float: 0.1f as "0.1", 1e7f as "1e+07".
std::string numberText(float value);
// "(x, y)" in numberText's form.
std::string pointText(const Vec2& point);
// "(i, j)".
std::string cellText(int i, int j);
// "N x N".
std::string gridText(int size);
// The clause as a sentence: its first letter capitalised and a full stop added.
std::string sentence(std::string clause);
// The sentence as a clause that follows a comma: its first letter in lower case, its full stop
// dropped.
std::string clause(std::string sentence);
