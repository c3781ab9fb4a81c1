#include "ScalarField.h"

#include <algorithm>

void ScalarField::clear() {
    std::fill(data.begin(), data.end(), 0.0f);
}
