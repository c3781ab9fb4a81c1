#include "JsonText.h"

#include <QSet>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads the string that starts at text[k] == '"' and returns its value; k ends past the closing
// quote. Escapes are decoded, so that "a" and "\u0061" are the same key.
QString readString(const QByteArray& text, qsizetype& k) {
    QByteArray plain;
    QString value;
    const auto flush = [&] {
        value += QString::fromUtf8(plain);
        plain.clear();
    };
    for (++k; k < text.size() && text[k] != '"'; ++k) {
        if (text[k] != '\\' || k + 1 >= text.size()) {
            plain += text[k];
            continue;
        }
        const char e = text[++k];
        if (e == 'u' && k + 4 < text.size()) {
            int unit = 0;
            for (int d = 1; d <= 4; ++d) {
                unit = unit * 16 + std::max(hexDigit(text[k + d]), 0);
            }
            flush();
            value += QChar(static_cast<char16_t>(unit));
            k += 4;
            continue;
        }
        const char* const from = "bfnrt";
        const char* const to = "\b\f\n\r\t";
        const char* found = std::strchr(from, e);
        plain += found != nullptr && e != '\0' ? to[found - from] : e;
    }
    ++k;
    flush();
    return value;
}

}  // namespace

JsonText JsonText::scan(const QByteArray& text) {
    JsonText found;
    // The keys of each object open, innermost last; arrays open hold none.
    struct Open {
        bool object;
        QSet<QString> keys;
    };
    std::vector<Open> open;
    bool expectKey = false;
    QString lastKey;
    for (qsizetype k = 0; k < text.size();) {
        const char c = text[k];
        if (isSpace(c)) {
            ++k;
        } else if (c == ',' || c == ':') {
            // After a comma in an object comes a key; after a colon, its value.
            expectKey = c == ',' && !open.empty() && open.back().object;
            ++k;
        } else if (c == '{' || c == '[') {
            open.push_back(Open{c == '{', {}});
            expectKey = c == '{';
            ++k;
        } else if (c == '}' || c == ']') {
            if (!open.empty()) {
                open.pop_back();
            }
            expectKey = false;
            ++k;
        } else if (c == '"') {
            const QString value = readString(text, k);
            if (expectKey && !open.empty()) {
                if (open.back().keys.contains(value) && found.repeatedKey.isEmpty()) {
                    found.repeatedKey = value;
                }
                open.back().keys.insert(value);
                lastKey = open.size() == 1 ? value : QString();
            }
            expectKey = false;
        } else {
            // A number, true, false or null, up to the next delimiter.
            const qsizetype first = k;
            while (k < text.size() && !isSpace(text[k]) && text[k] != ',' && text[k] != '}' &&
                   text[k] != ']') {
                ++k;
            }
            if (open.size() == 1 && lastKey == QLatin1String("version")) {
                found.version = text.mid(first, k - first);
            }
        }
    }
    return found;
}
