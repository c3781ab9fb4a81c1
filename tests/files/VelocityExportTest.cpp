#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "DocumentBits.h"
#include "VelocityExport.h"

namespace {

using documenttest::bits;

// A width x height field of random velocities, with values that a decimal form could lose.
std::vector<Vec2> field(int width, int height) {
    std::mt19937 random(width * 1000 + height);
    std::uniform_real_distribution<float> speed(-50.0f, 50.0f);
    std::vector<Vec2> cells(static_cast<std::size_t>(width) * height);
    for (Vec2& v : cells) {
        v = Vec2(speed(random), speed(random));
    }
    const float odd[] = {0.1f, -0.0f, 1e-45f, std::numeric_limits<float>::quiet_NaN(), 3e38f};
    for (std::size_t k = 0; k < cells.size() && k < std::size(odd); ++k) {
        cells[k].x = odd[k];
    }
    return cells;
}

const int kSizes[][2] = {{1, 1}, {3, 2}, {100, 100}, {400, 7}};

TEST(VelocityExportTest, NpyHoldsTheFieldAsHeightByWidthByTwoFloat32) {
    for (const auto& [width, height] : kSizes) {
        const std::vector<Vec2> cells = field(width, height);
        const QByteArray npy = VelocityExport::npy(cells, width, height);
        ASSERT_EQ(npy.left(8), QByteArray("\x93NUMPY\x01\x00", 8));
        const int headerLength = qFromLittleEndian<quint16>(npy.constData() + 8);
        const int dataStart = 10 + headerLength;
        const QByteArray header = npy.mid(10, headerLength);
        EXPECT_EQ(dataStart % 64, 0);
        EXPECT_TRUE(header.endsWith('\n'));
        const QByteArray dictionary = header.trimmed();
        EXPECT_EQ(dictionary, QStringLiteral("{'descr': '<f4', 'fortran_order': False, 'shape': "
                                             "(%1, %2, 2), }")
                                  .arg(height)
                                  .arg(width)
                                  .toLatin1());
        ASSERT_EQ(npy.size(), dataStart + width * height * 2 * 4);
        // Element [j, i, c] at (j * width + i) * 2 + c in row-major order.
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const Vec2& v = cells[i + j * width];
                const char* at = npy.constData() + dataStart + (j * width + i) * 2 * 4;
                ASSERT_EQ(qFromLittleEndian<quint32>(at), bits(v.x)) << i << ", " << j;
                ASSERT_EQ(qFromLittleEndian<quint32>(at + 4), bits(v.y)) << i << ", " << j;
            }
        }
    }
}

TEST(VelocityExportTest, CsvHoldsALinePerCellThatReadsBackToTheSameFloats) {
    for (const auto& [width, height] : kSizes) {
        const std::vector<Vec2> cells = field(width, height);
        const QList<QByteArray> lines = VelocityExport::csv(cells, width, height).split('\n');
        ASSERT_EQ(lines.size(), width * height + 2);  // the header, the cells, "" after the last
        EXPECT_EQ(lines.front(), "i,j,vx,vy");
        EXPECT_EQ(lines.back(), "");
        for (int k = 0; k < width * height; ++k) {
            const QList<QByteArray> values = lines[k + 1].split(',');
            ASSERT_EQ(values.size(), 4) << lines[k + 1].constData();
            const int i = k % width;
            const int j = k / width;
            EXPECT_EQ(values[0].toInt(), i);
            EXPECT_EQ(values[1].toInt(), j);
            const Vec2& v = cells[k];
            ASSERT_EQ(bits(std::strtof(values[2].constData(), nullptr)), bits(v.x))
                << values[2].constData();
            ASSERT_EQ(bits(std::strtof(values[3].constData(), nullptr)), bits(v.y))
                << values[3].constData();
        }
    }
}

TEST(VelocityExportTest, WritesTheFormOfTheSuffixAndRefusesOthers) {
    QTemporaryDir dir;
    const std::vector<Vec2> cells = field(3, 2);
    QString error;
    for (const char* name : {"v.npy", "v.NPY", "v.csv"}) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(VelocityExport::write(path, cells, 3, 2, error)) << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QString(name).endsWith("csv") ? VelocityExport::csv(cells, 3, 2)
                                                                : VelocityExport::npy(cells, 3, 2));
    }
    const struct {
        const char* name;
        int width;
        const char* fault;
    } refused[] = {
        {"v.txt", 3, "the velocity is exported as .npy or .csv, not as \".txt\""},
        {"velocity", 3, "the velocity is exported as .npy or .csv, not as a name without a suffix"},
        {"w.npy", 4, "the field holds 6 cells, not 4 x 2"}};
    for (const auto& r : refused) {
        const QString path = dir.filePath(r.name);
        EXPECT_FALSE(VelocityExport::write(path, cells, r.width, 2, error));
        EXPECT_EQ(error.toStdString(),
                  ("Could not save " + path + ": " + r.fault + ".").toStdString());
        EXPECT_FALSE(QFile::exists(path));
    }
}

// The output of a Python program, or nothing when it could not run or failed.
QByteArray runPython(const QString& python, const QStringList& arguments) {
    QProcess process;
    process.start(python, arguments);
    const bool ran = process.waitForFinished(30000) &&
                     process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return ran ? process.readAllStandardOutput() : QByteArray();
}

// NumPy, where it is installed, loads the file as the field.
TEST(VelocityExportTest, NumpyLoadsTheNpyFile) {
    // The first Python, on the path or the system's own, that has NumPy.
    QString python;
    for (const char* candidate : {"python3", "/usr/bin/python3"}) {
        if (python.isEmpty() && runPython(candidate, {"-c", "import numpy; print(1)"}) == "1\n") {
            python = candidate;
        }
    }
    if (python.isEmpty()) {
        GTEST_SKIP() << "no python3 with numpy is installed";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("velocity.npy");
    const int width = 5;
    const int height = 3;
    const std::vector<Vec2> cells = field(width, height);
    QString error;
    ASSERT_TRUE(VelocityExport::write(path, cells, width, height, error)) << error.toStdString();
    const QList<QByteArray> lines = runPython(python, {"-c",
                                                       "import sys, numpy\n"
                                                       "a = numpy.load(sys.argv[1])\n"
                                                       "print(a.dtype, a.shape)\n"
                                                       "print(repr(float(a[2, 4, 1])), "
                                                       "repr(float(a[0, 0, 0])), "
                                                       "repr(float(a[1, 3, 0])))\n",
                                                       path})
                                        .split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "float32 (3, 5, 2)");
    const QList<QByteArray> values = lines[1].split(' ');
    ASSERT_EQ(values.size(), 3);
    // [j, i, c]: cell (4, 2)'s vy, cell (0, 0)'s vx, cell (3, 1)'s vx.
    EXPECT_EQ(std::strtod(values[0].constData(), nullptr), cells[4 + 2 * width].y);
    EXPECT_EQ(std::strtod(values[1].constData(), nullptr), cells[0].x);
    EXPECT_EQ(std::strtod(values[2].constData(), nullptr), cells[3 + 1 * width].x);
}

}  // namespace
