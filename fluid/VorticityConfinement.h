#pragma once

#include <vector>

// Vorticity confinement, the "swirl": a force that puts back the small eddies that numerical
// dissipation smooths away. With omega the curl of the velocity and N = grad|omega| / |grad|omega||
// the unit vector towards stronger vorticity, the force is epsilon * h * (N x omega); in two
// dimensions omega is a scalar (the z component) and N x omega = (N.y * omega, -N.x * omega).
// Written in cell units, h * omega is w = 0.5 * ((vE - vW) - (uS - uN)), so a time step adds
// timeStep * epsilon * (N.y * w, -N.x * w), and epsilon is a rate (per unit of time).
//
// The curl is taken on every interior cell, the force added on the interior cells whose four
// neighbours are interior too (columns and rows 2 to size - 3), where |w| has a central gradient.
// Where that gradient vanishes N has no direction and the cell gets no force. Cells are
// independent of each other, so the loops' order does not change the result.
class VorticityConfinement {
public:
    VorticityConfinement(int width, int height);

    // Adds the force to the velocity components x and y, in natural order (i + j * width).
    void apply(float epsilon, float timeStep, float* x, float* y);

private:
    int width;
    int height;
    std::vector<float> curl;  // w of each interior cell
};
