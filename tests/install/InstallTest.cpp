#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kStaging = FLUID_STAGING_DIR;
const std::string kId = FLUID_DESKTOP_ID;

struct Result {
    int exitCode;
    std::string output;  // stdout and stderr together
};

Result run(const std::string& command) {
    Result result{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        result.output += buffer.data();
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string contents(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Installs the build under <staging>/root with the prefix /usr, once for all tests here.
class InstallTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        fs::remove_all(kStaging);
        installed = run("DESTDIR=" + quoted(root) + " " FLUID_CMAKE " --install " +
                        quoted(FLUID_BUILD_DIR) + " --prefix /usr");
    }

    void SetUp() override { ASSERT_EQ(installed.exitCode, 0) << installed.output; }

    // The program as installed, on the off-screen platform so that it needs no display. Leak
    // checking is off for it in sanitizer builds: the parser exits with the application object
    // still alive.
    static Result runProgram(const std::string& arguments) {
        return run("QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 " +
                   quoted(root / "usr/bin/fluidsim") + " " + arguments);
    }

    static inline const fs::path root = kStaging / "root";
    static inline Result installed;
};

}  // namespace

TEST_F(InstallTest, TreeHoldsTheProgramItsEntryIconAndMetadata) {
    const fs::path share = root / "usr/share";
    const fs::path desktop = share / "applications" / (kId + ".desktop");
    const fs::path metainfo = share / "metainfo" / (kId + ".metainfo.xml");
    EXPECT_TRUE(fs::is_regular_file(root / "usr/bin/fluidsim"));
    EXPECT_TRUE(fs::is_regular_file(share / "icons/hicolor/scalable/apps" / (kId + ".svg")));
    EXPECT_TRUE(fs::is_regular_file(share / "icons/hicolor/256x256/apps" / (kId + ".png")));
    ASSERT_TRUE(fs::is_regular_file(desktop));
    ASSERT_TRUE(fs::is_regular_file(metainfo));

    const std::string entry = contents(desktop);
    for (const std::string& line :
         {std::string("Name=Fluid Simulation\n"), std::string("Exec=fluidsim\n"),
          "Icon=" + kId + "\n", std::string("Categories=Education;Science;")}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
    const std::string meta = contents(metainfo);
    for (const std::string& part :
         {"<id>" + kId + "</id>",
          "<launchable type=\"desktop-id\">" + kId + ".desktop</launchable>",
          std::string("<release version=\"") + FLUID_VERSION + "\"",
          std::string("<content_rating")}) {
        EXPECT_NE(meta.find(part), std::string::npos) << part;
    }

    const Result entryCheck = run("desktop-file-validate " + quoted(desktop));
    EXPECT_EQ(entryCheck.exitCode, 0) << entryCheck.output;
    const Result metaCheck = run("appstreamcli validate --no-net " + quoted(metainfo));
    EXPECT_EQ(metaCheck.exitCode, 0) << metaCheck.output;
}

TEST_F(InstallTest, CommandLineAnswersHelpAndVersionAndRefusesTheUnknown) {
    const Result version = runProgram("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.output.find(std::string("fluidsim ") + FLUID_VERSION), std::string::npos)
        << version.output;

    const Result help = runProgram("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--version"), std::string::npos) << help.output;

    const Result unknown = runProgram("--no-such-option");
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_NE(unknown.output.find("Unknown option 'no-such-option'"), std::string::npos)
        << unknown.output;
    const Result stray = runProgram("stray");
    EXPECT_NE(stray.exitCode, 0);
    EXPECT_EQ(stray.exitCode, 2);
    EXPECT_NE(stray.output.find("Cannot open 'stray': no such file"), std::string::npos)
        << stray.output;
}

TEST_F(InstallTest, DebianPackageNamesItsQtDependencies) {
    const fs::path packages = kStaging / "packages";
    const Result packed =
        run("cd " + quoted(FLUID_BUILD_DIR) + " && " FLUID_CPACK " -G DEB -B " + quoted(packages));
    ASSERT_EQ(packed.exitCode, 0) << packed.output;
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(packages)) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path();
        }
    }
    ASSERT_FALSE(deb.empty()) << packed.output;
    EXPECT_EQ(deb.filename().string().rfind(std::string("fluidsim_") + FLUID_VERSION + "_", 0), 0u);

    const Result depends = run("dpkg-deb --field " + quoted(deb) + " Depends");
#if FLUID_QT_MAJOR_VERSION == 6
    const char* const libraries[] = {"libqt6widgets6", "libqt6openglwidgets6", "libqt6gui6",
                                     "libglu1"};
#else
    const char* const libraries[] = {"libqt5widgets5", "libqt5gui5", "libglu1"};
#endif
    for (const char* library : libraries) {
        EXPECT_NE(depends.output.find(library), std::string::npos) << depends.output;
    }
    const Result listing = run("dpkg-deb --contents " + quoted(deb));
    EXPECT_NE(listing.output.find("./usr/share/applications/" + kId + ".desktop"),
              std::string::npos);
    EXPECT_NE(listing.output.find("./usr/bin/fluidsim"), std::string::npos);
}
