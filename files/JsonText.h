#pragma once

#include <QByteArray>
#include <QString>

// What JSON text says that a parsed document no longer shows: a key written twice in one object,
// of which Qt's parser keeps one without a word, and how the top object's "version" is written,
// where 1 and 1.0 parse to the same number.
struct JsonText {
    // The first key found twice in one object, as text; empty when there is none.
    QString repeatedKey;
    // The "version" member of the top object as written ("1", "1.0"); empty when there is none.
    QByteArray version;

    // Reads text that Qt's parser has taken as JSON. Goes through it once, keeping only the keys
    // of the objects open at a time.
    static JsonText scan(const QByteArray& text);
};
