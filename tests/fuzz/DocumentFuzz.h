#pragma once

// The shared body of the scene and recording file targets: any bytes are either refused with a
// message, leaving the document given untouched, or read into a document that passes its checks
// and that a write and a second read give back to the bit.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "DocumentBits.h"
#include "FuzzInput.h"

template <typename File, typename Document, typename Problem>
int fuzzDocument(const std::uint8_t* data, std::size_t size, const Document& sentinel,
                 Problem problem) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    Document read = sentinel;
    QString error;
    if (!File::parse(bytes, read, error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(documenttest::difference(read, sentinel).empty());
        return 0;
    }
    FUZZ_CHECK(problem(read).empty());
    Document again = sentinel;
    FUZZ_CHECK(File::parse(File::serialize(read), again, error));
    FUZZ_CHECK(documenttest::difference(read, again).empty());
    return 0;
}
