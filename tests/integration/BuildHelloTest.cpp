// The sample product built with vantry-build as its author would: the
// resources the installer carries, its payloads unpacked with the stock
// unzip (the deinstaller, packed against the installer program, with the
// installer's own reader), and its strings in every language.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ExecVector.h"
#include "Message.h"
#include "PayloadExtractor.h"
#include "PayloadFields.h"
#include "Resources.h"
#include "StringTable.h"
#include "ZipEntryReader.h"
#include "ZipFormat.h"
#include "oResources.h"

namespace {

const char* const kLanguages[] = {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl"};

struct ResourceRow {
	std::string type;
	int32 id;
	size_t size;
	std::string name;
};

// Runs a program with `arguments`; standard output goes to `output` (or to
// the file `outputFile`), standard error to `errors`. Returns the exit code.
std::string read_bytes(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(stream), {});
}

int run(const std::vector<std::string>& arguments, std::string* output = nullptr,
        const std::string& outputFile = "", std::string* errors = nullptr)
{
	std::string errorPath = testing::TempDir() + "run-errors.txt";
	std::string outputPath =
	        outputFile.empty() ? testing::TempDir() + "run-output.txt" : outputFile;
	pid_t child = fork();
	if (child == 0) {
		freopen(outputPath.c_str(), "w", stdout);
		freopen(errorPath.c_str(), "w", stderr);
		std::vector<char*> argv = ExecVector(arguments);
		execvp(argv[0], argv.data());
		_exit(127);
	}
	int status = 0;
	waitpid(child, &status, 0);
	auto slurp = [](const std::string& path) {
		std::ifstream stream(path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(stream), {});
	};
	if (output != nullptr)
		*output = slurp(outputPath);
	if (errors != nullptr)
		*errors = slurp(errorPath);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class BuildHelloTest : public testing::Test {
protected:
	static void SetUpTestSuite()
	{
		std::string pattern = testing::TempDir() + "hello-XXXXXX";
		sFolder = mkdtemp(pattern.data());
		sInstaller = sFolder + "/hello-installer";
		sSource = std::string(VANTRY_SOURCE_DIR) + "/examples/hello";
		sBuildStatus = run({VANTRY_BUILD_TOOL, sSource + "/product.toml", "-o", sInstaller},
		                   nullptr, "", &sBuildErrors);
	}
	static void TearDownTestSuite() { std::filesystem::remove_all(sFolder); }

	void SetUp() override { ASSERT_EQ(sBuildStatus, 0) << sBuildErrors; }

	static std::vector<ResourceRow> List(const std::string& path)
	{
		std::string output;
		EXPECT_EQ(run({VANTRY_RES_TOOL, "list", path}, &output), 0);
		std::vector<ResourceRow> rows;
		std::istringstream lines(output);
		std::string line;
		while (std::getline(lines, line)) {
			std::istringstream fields(line);
			ResourceRow row;
			fields >> row.type >> row.id >> row.size;
			std::getline(fields >> std::ws, row.name);
			rows.push_back(row);
		}
		return rows;
	}

	static const ResourceRow* Find(const std::vector<ResourceRow>& rows, const char* type, int32 id)
	{
		for (const ResourceRow& row : rows) {
			if (row.type == type && row.id == id)
				return &row;
		}
		return nullptr;
	}

	// Writes resource 'RAWT' `id` of `path` to a file and unpacks it with unzip.
	static std::string Unpack(const std::string& path, int32 id)
	{
		std::string archive = sFolder + "/" + std::to_string(id) + ".zip";
		std::string target = sFolder + "/unpacked-" + std::to_string(id);
		EXPECT_EQ(run({VANTRY_RES_TOOL, "get", path, "RAWT", std::to_string(id)}, nullptr, archive),
		          0);
		std::string output;
		EXPECT_EQ(run({"unzip", "-q", "-o", archive, "-d", target}, &output), 0) << output;
		return target;
	}

	// Unpacks the deinstaller from the installer file itself, as an
	// installation does: its archive decodes only after the installer program.
	static std::string UnpackDeinstaller()
	{
		std::string target = sFolder + "/unpacked-2001";
		std::filesystem::create_directories(target);
		off_t offset = 0;
		size_t size = 0;
		BResources resources(sInstaller.c_str(), false);
		EXPECT_EQ(resources.GetResourceRange(B_RAW_TYPE, 2001, &offset, &size), B_OK);
		PayloadExtractor extractor;
		EXPECT_EQ(extractor.Extract(sInstaller.c_str(), offset, (off_t)size, target.c_str(),
		                            "Deinstaller"),
		          B_OK)
		        << extractor.ErrorText();
		return target;
	}

	static std::string sFolder;
	static std::string sInstaller;
	static std::string sSource;
	static int sBuildStatus;
	static std::string sBuildErrors;
};

std::string BuildHelloTest::sFolder;
std::string BuildHelloTest::sInstaller;
std::string BuildHelloTest::sSource;
int BuildHelloTest::sBuildStatus = -1;
std::string BuildHelloTest::sBuildErrors;

TEST_F(BuildHelloTest, ResourcesFollowThePayloadLayout)
{
	std::vector<ResourceRow> rows = List(sInstaller);
	struct Expected {
		const char* type;
		int32 id;
		const char* name;
	} expected[] = {
	        {"CSTR", 2002, "VXC:configuration"}, {"RAWT", 2001, "Deinstaller"},
	        {"RAWT", 2100, "ReadMe.txt"},        {"RAWT", 2101, "hello"},
	        {"RAWT", 2102, "Hello Docs"},        {"APPV", 1, "BEOS:APP_VERSION"},
	        {"MIMS", 1, "BEOS:APP_SIG"},
	};
	for (const Expected& e : expected) {
		const ResourceRow* row = Find(rows, e.type, e.id);
		ASSERT_NE(row, nullptr) << e.type << " " << e.id;
		EXPECT_EQ(row->name, e.name);
		EXPECT_GT(row->size, 0u);
	}
	EXPECT_EQ(Find(rows, "RAWT", 2103), nullptr) << "three items, three archives";
	struct stat info;
	ASSERT_EQ(stat(sInstaller.c_str(), &info), 0);
	EXPECT_NE(info.st_mode & S_IXUSR, 0u);
}

TEST_F(BuildHelloTest, PayloadsUnpackToExactlyTheSourceItems)
{
	const char* leaves[] = {"ReadMe.txt", "hello", "Hello Docs"};
	for (int32 i = 0; i < 3; i++) {
		std::string target = Unpack(sInstaller, 2100 + i);
		std::string output;
		EXPECT_EQ(run({"diff", "-r", sSource + "/files/" + leaves[i], target + "/" + leaves[i]},
		              &output),
		          0)
		        << output;
		std::vector<std::string> top;
		for (const auto& entry : std::filesystem::directory_iterator(target))
			top.push_back(entry.path().filename().string());
		EXPECT_EQ(top, std::vector<std::string>{leaves[i]}) << "one entry named by the leaf";
	}
	struct stat info;
	ASSERT_EQ(stat((sFolder + "/unpacked-2101/hello").c_str(), &info), 0);
	EXPECT_NE(info.st_mode & S_IXUSR, 0u) << "the program stays executable";
}

TEST_F(BuildHelloTest, ConfigurationNamesTheProductAndItsItems)
{
	oResources resources(sInstaller.c_str(), 0);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	ASSERT_NE(data, nullptr);
	BMessage record;
	ASSERT_EQ(record.Unflatten(static_cast<const char*>(data), (ssize_t)size), B_OK);
	EXPECT_STREQ(record.FindString("app_name"), "Hello");
	BMessage instructions;
	ASSERT_EQ(record.FindMessage("install_instructions", &instructions), B_OK);
	BMessage item;
	ASSERT_EQ(instructions.FindMessage("install_file", 2, &item), B_OK);
	EXPECT_EQ(std::filesystem::path(item.FindString("file_name")).filename(), "Hello Docs");
	std::string deinstaller = UnpackDeinstaller() + "/Deinstaller";
	struct stat info;
	ASSERT_EQ(stat(deinstaller.c_str(), &info), 0);
	EXPECT_EQ(record.FindInt32("VXC:deinstaller_size"), (int32)info.st_size);
}

// Every string of every language reads back through the installer's own lookup.
void expect_strings(const std::string& executable, const char* program, int32 lastId)
{
	oResources resources(executable.c_str(), 0);
	ASSERT_EQ(resources.InitCheck(), B_OK) << executable;
	for (const char* code : kLanguages) {
		std::string table =
		        std::string(VANTRY_SOURCE_DIR) + "/data/strings/" + program + "/" + code + ".txt";
		StringTable strings(table.c_str(), 1000, lastId);
		ASSERT_EQ(strings.InitCheck(), B_OK) << strings.ErrorText();
		ASSERT_GT(strings.CountStrings(), 0);
		for (const auto& [id, text] : strings.Strings()) {
			std::string name = std::string(code) + ":" + std::to_string(id);
			ASSERT_TRUE(resources.HasString(name.c_str())) << program << " " << name;
			EXPECT_EQ(resources.GetString(name.c_str()).String(), text) << name;
		}
	}
}

TEST_F(BuildHelloTest, InstallerStringsReadBackInAllNineLanguages)
{
	expect_strings(sInstaller, "installer", 1203);
}

TEST_F(BuildHelloTest, DeinstallerCarriesItsOwnStringsInAllNineLanguages)
{
	expect_strings(UnpackDeinstaller() + "/Deinstaller", "deinstaller", 1010);
}

// The deinstaller is one Zstandard entry encoded against the whole
// Installer program, which starts the installer file; it unpacks to the
// Deinstaller program with its strings appended.
TEST_F(BuildHelloTest, DeinstallerIsPackedAgainstTheInstallerProgram)
{
	const std::string stub = read_bytes(VANTRY_INSTALLER_STUB);
	EXPECT_EQ(read_bytes(sInstaller).compare(0, stub.size(), stub), 0);
	off_t offset = 0;
	size_t size = 0;
	BResources resources(sInstaller.c_str(), false);
	ASSERT_EQ(resources.GetResourceRange(B_RAW_TYPE, 2001, &offset, &size), B_OK);
	const int fd = open(sInstaller.c_str(), O_RDONLY | O_CLOEXEC);
	ZipArchive archive;
	ASSERT_EQ(archive.SetTo(fd, offset, (off_t)size, 10), B_OK) << archive.ErrorText();
	ASSERT_EQ(archive.Entries().size(), 1u);
	const ZipEntry& entry = archive.Entries()[0];
	EXPECT_EQ(entry.name, "Deinstaller");
	EXPECT_EQ(entry.method, kZipMethodZstd);
	ZipEntryReader reader;
	ASSERT_EQ(reader.SetTo(archive, entry), B_OK) << reader.ErrorText();
	uint16 length = 0;
	const uint8* field = reader.LocalField(kPayloadReferenceField, &length);
	PayloadReference reference;
	ASSERT_EQ(decode_payload_reference(field, length, &reference), B_OK);
	EXPECT_EQ(reference.size, stub.size());
	close(fd);
	const std::string program = read_bytes(VANTRY_DEINSTALLER_STUB);
	EXPECT_EQ(read_bytes(UnpackDeinstaller() + "/Deinstaller").compare(0, program.size(), program),
	          0);
}

TEST_F(BuildHelloTest, MistakesNameFileLineAndFieldAndWriteNothing)
{
	std::string product = sFolder + "/broken.toml";
	std::ofstream(product) << "app_name = \"Broken\"\n[[install_file]]\nfile_name = \"" << sSource
	                       << "/files/ReadMe.txt\"\n[[install_file]]\nfile_name = \"" << sSource
	                       << "/files/nothing-here\"\n";
	std::string output = sFolder + "/broken-installer";
	std::string errors;
	EXPECT_EQ(run({VANTRY_BUILD_TOOL, product, "-o", output}, nullptr, "", &errors), 1);
	EXPECT_NE(errors.find(product + ":5: field `install_file[1].file_name`: missing source"),
	          std::string::npos)
	        << errors;
	EXPECT_FALSE(std::filesystem::exists(output));
}

} // namespace
