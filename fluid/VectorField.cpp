#include "VectorField.h"

#include <algorithm>

void VectorField::copyFrom(const VectorField& other) {
    if (other.width != width || other.height != height) {
        return;
    }
    std::copy(other.data.begin(), other.data.end(), data.begin());
}
