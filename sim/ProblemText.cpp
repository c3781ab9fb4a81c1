#include "ProblemText.h"

#include <cctype>
#include <charconv>

std::string numberText(float value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string pointText(const Vec2& point) {
    return "(" + numberText(point.x) + ", " + numberText(point.y) + ")";
}

std::string cellText(int i, int j) {
    return "(" + std::to_string(i) + ", " + std::to_string(j) + ")";
}

std::string gridText(int size) {
    return std::to_string(size) + " x " + std::to_string(size);
}

std::string sentence(std::string clause) {
    if (!clause.empty()) {
        clause[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(clause[0])));
    }
    return clause + ".";
}

std::string clause(std::string sentence) {
    if (!sentence.empty()) {
        sentence[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(sentence[0])));
    }
    if (!sentence.empty() && sentence.back() == '.') {
        sentence.pop_back();
    }
    return sentence;
}
