#pragma once

// Ghia, Ghia & Shin (1982), "High-Re solutions for incompressible flow using the Navier-Stokes
// equations and a multigrid method", J. Comput. Phys. 48, 387-411, Tables I and II: the
// velocity of the lid-driven square cavity (lid speed 1, lid on top at y = 1) along its two
// centre lines, measured from the bottom-left corner: u along the vertical line x = 0.5 at the
// heights y, v (positive upward) along the horizontal line y = 0.5 at the abscissae x.
namespace ghia {

constexpr int kPoints = 17;

constexpr double kY[kPoints] = {1.0000, 0.9766, 0.9688, 0.9609, 0.9531, 0.8516,
                                0.7344, 0.6172, 0.5000, 0.4531, 0.2813, 0.1719,
                                0.1016, 0.0703, 0.0625, 0.0547, 0.0000};
constexpr double kU100[kPoints] = {1.00000,  0.84123,  0.78871,  0.73722,  0.68717,  0.23151,
                                   0.00332,  -0.13641, -0.20581, -0.21090, -0.15662, -0.10150,
                                   -0.06434, -0.04775, -0.04192, -0.03717, 0.00000};
constexpr double kU1000[kPoints] = {1.00000,  0.65928,  0.57492,  0.51117,  0.46604,  0.33304,
                                    0.18719,  0.05702,  -0.06080, -0.10648, -0.27805, -0.38289,
                                    -0.29730, -0.22220, -0.20196, -0.18109, 0.00000};

constexpr double kX[kPoints] = {1.0000, 0.9688, 0.9609, 0.9531, 0.9453, 0.9063,
                                0.8594, 0.8047, 0.5000, 0.2344, 0.2266, 0.1563,
                                0.0938, 0.0781, 0.0703, 0.0625, 0.0000};
constexpr double kV100[kPoints] = {0.00000,  -0.05906, -0.07391, -0.08864, -0.10313, -0.16914,
                                   -0.22445, -0.24533, 0.05454,  0.17527,  0.17507,  0.16077,
                                   0.12317,  0.10890,  0.10091,  0.09233,  0.00000};
constexpr double kV1000[kPoints] = {0.00000,  -0.21388, -0.27669, -0.33714, -0.39188, -0.51550,
                                    -0.42665, -0.31966, 0.02526,  0.32235,  0.33075,  0.37095,
                                    0.32627,  0.30353,  0.29012,  0.27485,  0.00000};

}  // namespace ghia
