#pragma once

#include <cstdint>

#include "VectorField.h"

// A 64-bit digest of a field's bits: FNV-1a over every cell in storage order, x then y, each
// float's IEEE bits as four little-endian bytes. Equal on every machine for the same bits, and
// different, with all but certainty, for fields that differ in any bit.
std::uint64_t fieldDigest(const VectorField& field);
