// Signed installers: who made one is shown, a changed one is refused before
// anything changes, minisign verifies the file, and two builds of the same
// inputs are the same bytes.
#include "InstallTestSupport.h"

#include "InstallerSignature.h"
#include "MinisignKeys.h"
#include "Resources.h"
#include "TypeConstants.h"

using namespace install_test;

namespace {

const char* const kItems = R"(opt_log = true
[[install_file]]
file_name = "files/a.txt"
[install_file.install_meta]
destination = "User Selected"
)";

const std::map<std::string, std::string> kFiles = {{"files/a.txt", std::string(200000, 'a')}};

// Builds the product `name` signed with `key`.
RunResult BuildSigned(InstallWorld& world, const std::string& name, const std::string& key)
{
	const std::string folder = world.ProductFolder(name);
	for (const auto& [path, content] : kFiles)
		WriteFile(folder + "/" + path, content);
	WriteFile(folder + "/product.toml", ProductHead(name) + kItems);
	fs::create_directories(world.Temp() + "/installers");
	return world.Run({VANTRY_BUILD_TOOL, folder + "/product.toml", "-o",
	                  world.Temp() + "/installers/" + name, "--sign", key});
}

off_t Inside(const std::string& installer, const type_code& type, const int32& id)
{
	BResources resources(installer.c_str(), false);
	off_t offset = 0;
	size_t size = 0;
	EXPECT_EQ(resources.GetResourceRange(type, id, &offset, &size), B_OK);
	return offset + off_t(size / 2);
}

void FlipByte(const std::string& path, const off_t& at)
{
	std::string bytes = ReadFile(path);
	bytes[size_t(at)] ^= 0x10;
	WriteFile(path, bytes);
}

// The minisign tool's path, or "" when it is not installed.
std::string Minisign()
{
	for (const char* path : {"/usr/bin/minisign", "/usr/local/bin/minisign"}) {
		if (access(path, X_OK) == 0)
			return path;
	}
	return "";
}

TEST(SignedInstallerTest, SaysWhoSignedItInEveryModeAndTheLogAndMinisignAgrees)
{
	InstallWorld world;
	const minisign_test::KeyFiles key = minisign_test::MakeKey(world.Temp() + "/maker", "pw");
	world.SetEnv("VANTRY_SIGN_PASSWORD", "pw");
	ASSERT_EQ(BuildSigned(world, "Signed", key.secret).code, 0);
	const std::string installer = world.Temp() + "/installers/Signed";
	const std::string line = "Signed by Test Company (key " + key.id + ")";

	const RunResult verify = world.Run({installer, "--verify"});
	EXPECT_EQ(verify.code, 0) << verify.errors;
	EXPECT_EQ(Lines(verify.output).front(), line);
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "a.txt", "--yes"});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "signature"), std::vector<std::string>{line});
	EXPECT_NE(ReadFile(world.Apps() + "/Signed/Log").find("\tSignature : " + line + "\n"),
	          std::string::npos);
	if (Minisign().empty())
		GTEST_SKIP() << "minisign is not installed: the signature file is not checked with it";
	const RunResult minisign = world.Run({Minisign(), "-Vm", installer, "-p", key.publicKey});
	EXPECT_EQ(minisign.code, 0) << minisign.output << minisign.errors;
}

TEST(SignedInstallerTest, UnsignedInstallerInstallsWithItsNote)
{
	InstallWorld world;
	const std::string installer = world.Build("Plain", ProductHead("Plain") + kItems, kFiles);
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "a.txt", "--yes"});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "note"),
	          std::vector<std::string>{"This installer is not signed"});
	EXPECT_EQ(Lines(world.Run({installer, "--verify"}).output).front(),
	          "This installer is not signed");
}

TEST(SignedInstallerTest, AnyChangedByteIsRefusedBeforeAnyChangeInEveryMode)
{
	InstallWorld world;
	const minisign_test::KeyFiles key = minisign_test::MakeKey(world.Temp() + "/maker");
	ASSERT_EQ(BuildSigned(world, "Signed", key.secret).code, 0);
	const std::string installer = world.Temp() + "/installers/Signed";
	const struct {
		const char* name;
		off_t at;
		std::vector<std::string> mode;
	} cases[] = {
	        {"program",
	         5000,
	         {"--unattended", "--dest", world.Apps(), "--items", "a.txt", "--yes"}},
	        {"string table", Inside(installer, B_STRING_TYPE, 40), {"--list"}},
	        {"payload",
	         Inside(installer, B_RAW_TYPE, 2100),
	         {"--unattended", "--dest", world.Apps(), "--items", "a.txt", "--yes"}},
	        {"record", Inside(installer, B_STRING_TYPE, 2002), {"--extract", world.Apps()}},
	        {"signature", Inside(installer, kSignatureType, kSignatureId), {"--verify"}},
	};
	const auto before = TreeState(world.Temp());
	for (const auto& c : cases) {
		const std::string changed = world.Temp() + "/installers/changed";
		fs::copy_file(installer, changed, fs::copy_options::overwrite_existing);
		FlipByte(changed, c.at);
		std::vector<std::string> command = {changed};
		command.insert(command.end(), c.mode.begin(), c.mode.end());
		const RunResult run = world.Run(command);
		EXPECT_EQ(run.code, 11) << c.name << ": " << run.output << run.errors;
		EXPECT_EQ(run.errors.rfind("Installer: the installer was changed after it was signed: ", 0),
		          0u)
		        << c.name << ": " << run.errors;
		EXPECT_EQ(run.output, "") << c.name;
		fs::remove(changed);
		EXPECT_EQ(TreeState(world.Temp()), before) << c.name << ": the machine is as it was";
	}
}

TEST(SignedInstallerTest, AWrongPasswordOrAMalformedKeyIsNamedAtBuildTime)
{
	InstallWorld world;
	const minisign_test::KeyFiles key = minisign_test::MakeKey(world.Temp() + "/maker", "right");
	const std::string malformed = world.Temp() + "/malformed.key";
	WriteFile(malformed, "untrusted comment: minisign encrypted secret key\nRWQAAEIy\n");
	const struct {
		const char* name;
		std::string key;
		const char* error;
	} cases[] = {
	        {"wrong password", key.secret, ": wrong password for this secret key"},
	        {"malformed key", malformed, ": not a minisign secret key"},
	};
	world.SetEnv("VANTRY_SIGN_PASSWORD", "wrong");
	for (const auto& c : cases) {
		const RunResult built = BuildSigned(world, "Signed", c.key);
		EXPECT_EQ(built.code, 1) << c.name;
		EXPECT_EQ(built.errors.rfind("vantry-build: " + c.key + c.error, 0), 0u)
		        << c.name << ": " << built.errors;
		EXPECT_FALSE(Exists(world.Temp() + "/installers/Signed")) << c.name;
	}
}

TEST(SignedInstallerTest, AnotherPublishersInstallerIsRefusedUnlessAllowed)
{
	InstallWorld world;
	const minisign_test::KeyFiles first = minisign_test::MakeKey(world.Temp() + "/first");
	const minisign_test::KeyFiles second = minisign_test::MakeKey(world.Temp() + "/second");
	ASSERT_EQ(BuildSigned(world, "Same", first.secret).code, 0);
	const std::string installer = world.Temp() + "/installers/Same";
	const std::string byFirst = installer + "-first";
	fs::rename(installer, byFirst);
	ASSERT_EQ(BuildSigned(world, "Same", second.secret).code, 0);
	const std::string bySecond = installer + "-second";
	fs::rename(installer, bySecond);
	const std::string unsignedInstaller = world.Build("Same", ProductHead("Same") + kItems, kFiles);
	const std::vector<std::string> install = {"--dest", world.Apps(), "--items", "a.txt", "--yes"};
	ASSERT_EQ(world.Install(byFirst, install).code, 0);
	const struct {
		const char* name;
		std::string installer;
		bool allow;
		int code;
	} cases[] = {
	        {"another key", bySecond, false, 11},
	        {"unsigned", unsignedInstaller, false, 11},
	        {"the same key", byFirst, false, 0},
	        {"another key, allowed", bySecond, true, 0},
	        {"the first key again, over the second", byFirst, false, 11},
	};
	for (const auto& c : cases) {
		std::vector<std::string> arguments = install;
		if (c.allow)
			arguments.push_back("--allow-new-publisher");
		const auto before = TreeState(world.Temp());
		const RunResult run = world.Install(c.installer, arguments);
		EXPECT_EQ(run.code, c.code) << c.name << ": " << run.output << run.errors;
		if (c.code == 0)
			continue;
		EXPECT_EQ(Labelled(run.output, "error")
		                  .front()
		                  .rfind("The new installer was made by a different publisher: the earlier "
		                         "installation was signed with key ",
		                         0),
		          0u)
		        << c.name << ": " << run.output;
		EXPECT_EQ(TreeState(world.Temp()), before) << c.name << ": the machine is as it was";
	}
}

// Two copies of a product folder (times kept) built in other folders, a
// second apart, with other thread counts, umasks, locales and time zones.
TEST(ReproducibleBuildTest, TheSameInputsGiveTheSameBytesSignedOrNot)
{
	InstallWorld world;
	const minisign_test::KeyFiles key = minisign_test::MakeKey(world.Temp() + "/maker");
	world.Build("First", ProductHead("Same") + kItems, kFiles);
	const std::string first = world.ProductFolder("First");
	const std::string second = world.ProductFolder("Second");
	ASSERT_EQ(world.Run({"/bin/cp", "-a", first, second}).code, 0);
	const struct {
		const char* name;
		std::vector<std::string> extra;
	} cases[] = {{"unsigned", {}}, {"signed", {"--sign", key.secret}}};
	for (const auto& c : cases) {
		std::vector<std::string> one = {
		        VANTRY_BUILD_TOOL, first + "/product.toml", "-o", first + "/one", "--threads", "1"};
		std::vector<std::string> two = {"/bin/sh",
		                                "-c",
		                                "umask 077; exec \"$@\"",
		                                "sh",
		                                VANTRY_BUILD_TOOL,
		                                second + "/product.toml",
		                                "-o",
		                                second + "/two",
		                                "--threads",
		                                "3"};
		one.insert(one.end(), c.extra.begin(), c.extra.end());
		two.insert(two.end(), c.extra.begin(), c.extra.end());
		ASSERT_EQ(world.Run(one).code, 0) << c.name;
		std::this_thread::sleep_for(std::chrono::milliseconds(1100));
		world.SetEnv("TZ", "America/New_York");
		world.SetEnv("LANG", "fr_FR.UTF-8");
		const RunResult built = world.Run(two);
		world.SetEnv("TZ", std::nullopt);
		world.SetEnv("LANG", "C.UTF-8");
		ASSERT_EQ(built.code, 0) << c.name << ": " << built.errors;
		EXPECT_TRUE(ReadFile(first + "/one") == ReadFile(second + "/two")) << c.name;
	}
}

} // namespace

// With a person behind its input (the window's install for all users), the
// run asks about another publisher's installation instead of refusing it.
TEST(SignedInstallerTest, AnotherPublisherIsAskedOfTheInputThatAnswers)
{
	InstallWorld world;
	const minisign_test::KeyFiles first = minisign_test::MakeKey(world.Temp() + "/first");
	ASSERT_EQ(BuildSigned(world, "Same", first.secret).code, 0);
	const std::string installer = world.Temp() + "/installers/Same";
	const std::string byFirst = installer + "-first";
	fs::rename(installer, byFirst);
	const std::string unsignedInstaller = world.Build("Same", ProductHead("Same") + kItems, kFiles);
	ASSERT_EQ(world.Install(byFirst, {"--dest", world.Apps(), "--items", "a.txt", "--yes"}).code,
	          0);
	const struct {
		const char* answer;
		bool installs;
	} cases[] = {{"0", false}, {"1", true}};
	for (const auto& c : cases) {
		const auto before = TreeState(world.Temp());
		const RunResult run =
		        world.Run({"/bin/sh", "-c", "echo " + std::string(c.answer) + " | \"$0\" \"$@\"",
		                   unsignedInstaller, "--unattended", "--json", "--answers-on-stdin",
		                   "--dest", world.Apps(), "--items", "a.txt", "--accept-licence"});
		EXPECT_NE(run.output.find("\"event\":\"question\""), std::string::npos) << run.output;
		EXPECT_NE(run.output.find("different publisher"), std::string::npos) << run.output;
		EXPECT_EQ(run.code == 0, c.installs) << c.answer << ": " << run.output << run.errors;
		if (!c.installs)
			EXPECT_EQ(TreeState(world.Temp()), before) << "the machine is as it was";
	}
}
