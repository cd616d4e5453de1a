// Reading product descriptions: values, friendly forms and every kind of mistake.
#include "ProductDescription.h"

#include <gtest/gtest.h>

#include "BuildTestSupport.h"

namespace {

// A valid product around the fault a case adds: `top` goes before it (top-level
// keys), `tables` after it.
const char kBase[] = "app_name = \"P\"\n"
                     "[[groups]]\n"
                     "group_name = \"Normal\"\n"
                     "[[install_file]]\n"
                     "file_name = \"a.txt\"\n";

class ProductDescriptionTest : public testing::Test {
protected:
	void SetUp() override
	{
		fFolder.Write("a.txt", "alpha");
		fFolder.Write("sub/a.txt", "alpha again");
		fFolder.Write("folder/inside.txt", "inside");
		fFolder.Write("licence.txt", "Use it well.\n");
	}

	status_t Parse(const std::string& text)
	{
		fText = text;
		fPath = fFolder / "product.toml";
		return fDescription.Parse(text, fPath.c_str());
	}

	// The line of the description that holds `marker`.
	int LineOf(const std::string& marker) const
	{
		size_t at = fText.find(marker);
		if (at == std::string::npos)
			return -1;
		return 1 + (int)std::count(fText.begin(), fText.begin() + at, '\n');
	}

	TempFolder fFolder;
	ProductDescription fDescription;
	std::string fText;
	std::string fPath;
};

struct MistakeCase {
	const char* name;
	const char* top;
	const char* tables;
	const char* marker; // text on the line the error must name
	const char* field;
	const char* message; // part of the message
};

const MistakeCase kMistakes[] = {
        {"UnknownField", "app_nme = \"x\"\n", "", "app_nme", "app_nme",
         "unknown field; did you mean `app_name`?"},
        {"UnknownNestedField", "", "install_meta = { destnation = \"User\" }\n", "destnation",
         "install_file[0].install_meta.destnation", "did you mean `destination`?"},
        {"WrongTypeBool", "opt_log = \"yes\"\n", "", "opt_log", "opt_log",
         "expected true or false, found a string"},
        {"WrongTypeString", "version = 3\n", "", "version", "version",
         "expected a string, found an integer"},
        {"WrongTypeTable", "", "install_meta = \"User\"\n", "install_meta",
         "install_file[0].install_meta", "expected a table, found a string"},
        {"WrongTypeGroups", "", "groups = 5\n", "groups = 5", "install_file[0].groups",
         "expected an array of strings"},
        {"MissingSource", "", "[[install_file]]\nfile_name = \"nope.txt\"\n", "nope.txt",
         "install_file[1].file_name", "missing source"},
        {"MissingTextFile", "license = { file = \"gone.txt\" }\n", "", "gone.txt", "license.file",
         "missing source"},
        {"MissingFileName", "", "[[install_file]] # second\ngroups = [\"Normal\"]\n", "# second",
         "install_file[1].file_name", "missing: the item's source path"},
        {"TwoItemsOneLeaf", "", "[[install_file]]\nfile_name = \"sub/a.txt\"\n", "sub/a.txt",
         "install_file[1].file_name", "two items with one leaf name \"a.txt\""},
        {"DestinationNamesNoFolder", "", "install_meta = { destination = \"Nowhere\" }\n",
         "Nowhere", "install_file[0].install_meta.destination", "names no folder"},
        {"DestinationNoneIsNoFolder", "", "install_meta = { destination = \"None\" }\n", "None",
         "install_file[0].install_meta.destination", "names no folder"},
        {"LinkNamesNoFolder", "", "install_meta = { link = \"user\" }\n", "user",
         "install_file[0].install_meta.link", "names no folder"},
        {"ItemNamesNoInstallType", "", "groups = \"Normal;Full;\"\n", "Normal;Full;",
         "install_file[0].groups", "names no install type: \"Full\""},
        {"ChoiceOutsideSet", "", "install_meta = { link_exists = \"Ask\" }\n", "Ask",
         "install_file[0].install_meta.link_exists", "\"Ask\" is not one of"},
        {"TrueFalseText", "", "install_meta = { deinstallable = \"true\" }\n", "deinstallable",
         "install_file[0].install_meta.deinstallable", "expected true or false"},
        {"FileTypeMismatch", "", "file_type = \"folder\"\n", "file_type",
         "install_file[0].file_type", "does not fit"},
        {"UnknownStandardFolder", "opt_default_folder = \"Apps\"\n", "", "Apps",
         "opt_default_folder", "names no folder"},
        {"CustomRootUnknown", "",
         "[[custom_folder]]\ncustom_folder_name = \"Docs\"\ncustom_root_dir = \"Userr\"\n", "Userr",
         "custom_folder[0].custom_root_dir", "no standard folder name"},
        {"CustomRootNumberUnknown", "",
         "[[custom_folder]]\ncustom_folder_name = \"Docs\"\ncustom_root_dir = 3999\n", "3999",
         "custom_folder[0].custom_root_dir", "no standard folder number"},
        {"CustomSubDirEscapes", "",
         "[[custom_folder]]\ncustom_folder_name = \"Docs\"\ncustom_root_dir = \"User\"\n"
         "custom_sub_dir = \"../etc\"\n",
         "../etc", "custom_folder[0].custom_sub_dir", "without \"..\""},
        {"TwoCustomFoldersOneName", "",
         "[[custom_folder]]\ncustom_folder_name = \"Docs\"\ncustom_root_dir = \"User\"\n"
         "custom_sub_dir = \"docs\"\n"
         "[[custom_folder]]\ncustom_folder_name = \"Docs\" # second\ncustom_root_dir = 3000\n"
         "custom_sub_dir = \"docs\"\n",
         "# second", "custom_folder[1].custom_folder_name", "two custom folders named \"Docs\""},
        {"TwoInstallTypesOneName", "", "[[groups]]\ngroup_name = \"Normal\" # again\n", "# again",
         "groups[1].group_name", "two install types named \"Normal\""},
        {"InstallTypeNameWithSemicolon", "", "[[groups]]\ngroup_name = \"A;B\"\n", "A;B",
         "groups[1].group_name", "without \";\""},
        {"BadSizeText", "req_disk_space_amount = \"lots\"\n", "", "lots", "req_disk_space_amount",
         "not a size"},
        {"NegativeSize", "req_disk_space_amount = -5\n", "", "-5", "req_disk_space_amount",
         "negative"},
        {"CompressionOutOfRange", "opt_compression = 12\n", "", "12", "opt_compression",
         "out of range"},
        {"UnknownCompression", "compression = \"xz\"\n", "", "xz", "compression",
         "\"xz\" is not one of \"deflate\", \"zstd\""},
        {"ZstdLevelOutOfRange", "compression = \"zstd\"\ncompression_level = 23\n", "", "23",
         "compression_level", "out of range"},
        {"ZstdLevelWithDeflate", "compression_level = 9\n", "", "compression_level = 9",
         "compression_level", "deflate level is opt_compression"},
        {"ComputedField", "audio_file = \"x.wav\"\n", "", "audio_file", "audio_file",
         "set by vantry-build"},
        {"ScriptWithoutTag", "edit_profile = true\nedit_profile_contents = \"x\"\n", "",
         "edit_profile = true", "edit_profile_tag", "missing"},
        {"ScriptTagWithoutSwitch", "edit_setup_env_tag = \"P\"\n", "", "edit_setup_env_tag",
         "edit_setup_env_tag", "given without `edit_setup_env = true`"},
        {"CreatedFolderWithSlash", "opt_created_folder = \"a/b\"\n", "", "a/b",
         "opt_created_folder", "one folder name"},
        {"CustomFolderReplacingItsRoot", "",
         "[[custom_folder]]\ncustom_folder_name = \"Docs\"\ncustom_root_dir = \"User\"\n"
         "custom_sub_dir = \"./.\"\ncustom_replace_existing = true\n",
         "./.", "custom_folder[0].custom_sub_dir", "names the standard folder itself"},
        {"DiskAmountPastAnyDisk", "req_disk_space_amount = 2000000000000000000\n", "",
         "2000000000000000000", "req_disk_space_amount", "more than any disk holds"},
        {"CreatedFolderWithLineFeed", "opt_created_folder = \"a\\nb\"\n", "", "a\\nb",
         "opt_created_folder", "control characters"},
        {"AppWithoutSignature", "req_apps = { req_app_name = [\"Tracker\"] }\n", "", "Tracker",
         "req_apps.req_app_name", "signature"},
};

class MistakeTest : public ProductDescriptionTest,
                    public testing::WithParamInterface<MistakeCase> {};

TEST_P(MistakeTest, NamesFileLineAndField)
{
	const MistakeCase& mistake = GetParam();
	std::string text = std::string(mistake.top) + kBase + mistake.tables;
	EXPECT_NE(Parse(text), B_OK);
	const std::vector<std::string>& errors = fDescription.Errors();
	ASSERT_EQ(errors.size(), 1u) << testing::PrintToString(errors);
	std::string prefix = fPath + ":" + std::to_string(LineOf(mistake.marker)) + ": field `" +
	                     mistake.field + "`: ";
	EXPECT_EQ(errors[0].rfind(prefix, 0), 0u) << errors[0] << "\nexpected prefix " << prefix;
	EXPECT_NE(errors[0].find(mistake.message), std::string::npos) << errors[0];
}

INSTANTIATE_TEST_SUITE_P(EveryKind, MistakeTest, testing::ValuesIn(kMistakes),
                         [](const testing::TestParamInfo<MistakeCase>& info) {
	                         return info.param.name;
                         });

TEST_F(ProductDescriptionTest, SyntaxErrorNamesItsLine)
{
	EXPECT_EQ(Parse("app_name = \"P\"\nversion = \n"), B_BAD_DATA);
	ASSERT_EQ(fDescription.Errors().size(), 1u);
	EXPECT_EQ(fDescription.Errors()[0].rfind(fPath + ":2: syntax error", 0), 0u)
	        << fDescription.Errors()[0];
}

TEST_F(ProductDescriptionTest, AccentedCharactersWhereWhitespaceMayStandAreHandled)
{
	std::string top = "license = \"\"\"Bonjour \\\n  \u00e9lan \u00bd\"\"\"\n";
	ASSERT_EQ(Parse(top + kBase), B_OK) << testing::PrintToString(fDescription.Errors());
	EXPECT_EQ(fDescription.GetProduct().license, "Bonjour \u00e9lan \u00bd");
	EXPECT_EQ(Parse("version = \u00bd\n" + std::string(kBase)), B_BAD_DATA);
	ASSERT_EQ(fDescription.Errors().size(), 1u);
	EXPECT_EQ(fDescription.Errors()[0].rfind(fPath + ":1: syntax error", 0), 0u)
	        << fDescription.Errors()[0];
}

TEST_F(ProductDescriptionTest, MissingProductNameAndItems)
{
	EXPECT_NE(Parse("version = \"1\"\n"), B_OK);
	std::vector<std::string> expected = {
	        fPath + ":1: field `app_name`: missing: the product's name",
	        fPath + ":1: field `install_file`: missing: a product needs at least one "
	                "[[install_file]] item"};
	EXPECT_EQ(fDescription.Errors(), expected);
}

TEST_F(ProductDescriptionTest, EveryMistakeIsReportedNotOnlyTheFirst)
{
	EXPECT_NE(Parse("opt_log = 1\nopt_save_replaced = 2\n" + std::string(kBase)), B_OK);
	EXPECT_EQ(fDescription.Errors().size(), 2u);
}

TEST_F(ProductDescriptionTest, LoadOfMissingFileNamesIt)
{
	std::string path = fFolder / "absent.toml";
	EXPECT_EQ(fDescription.Load(path.c_str()), B_ENTRY_NOT_FOUND);
	ASSERT_EQ(fDescription.Errors().size(), 1u);
	EXPECT_EQ(fDescription.Errors()[0].rfind(path + ":", 0), 0u);
}

TEST_F(ProductDescriptionTest, SampleProductReadsAsWritten)
{
	std::string path = std::string(VANTRY_SOURCE_DIR) + "/examples/hello/product.toml";
	ASSERT_EQ(fDescription.Load(path.c_str()), B_OK)
	        << testing::PrintToString(fDescription.Errors());
	const Product& product = fDescription.GetProduct();
	EXPECT_EQ(product.app_name, "Hello");
	EXPECT_EQ(product.install_folder_name, "product");
	EXPECT_EQ(product.license,
	          read_file(std::string(VANTRY_SOURCE_DIR) + "/examples/hello/licence.txt"));
	ASSERT_EQ(product.groups.size(), 2u);
	EXPECT_EQ(product.groups[1].group_name, "Full");
	ASSERT_EQ(product.custom_folder.size(), 1u);
	EXPECT_EQ(product.custom_folder[0].custom_root_dir, 3000);
	EXPECT_FALSE(product.custom_folder[0].custom_replace_existing);
	ASSERT_EQ(product.install_file.size(), 3u);
	EXPECT_EQ(product.install_file[2].leaf, "Hello Docs");
	EXPECT_EQ(product.install_file[2].file_name, "files/Hello Docs");
	EXPECT_EQ(product.install_file[2].install_meta.destination, "Hello Documentation");
	EXPECT_EQ(product.install_file[2].install_meta.destination_exists, "Rename");
	EXPECT_EQ(product.install_file[1].install_meta.destination_exists, "Prompt");
	EXPECT_EQ(product.install_file[0].groups, (std::vector<std::string>{"Minimal", "Full"}));
	EXPECT_FALSE(product.edit_bootscript.enabled);
	EXPECT_TRUE(product.edit_profile.enabled);
	EXPECT_EQ(product.edit_profile.tag, "Hello");
	EXPECT_NE(product.edit_profile.contents.find("PATH"), std::string::npos);
	EXPECT_EQ(product.req_disk_space_amount.value, 1048576.0);
}

TEST_F(ProductDescriptionTest, DefaultsFillWhatTheDescriptionLeavesOut)
{
	ASSERT_EQ(Parse(kBase), B_OK) << testing::PrintToString(fDescription.Errors());
	const Product& product = fDescription.GetProduct();
	EXPECT_EQ(product.opt_created_folder, "P");
	EXPECT_TRUE(product.opt_include_deinstall);
	EXPECT_EQ(product.opt_compression, 6);
	EXPECT_EQ(product.compression, "deflate");
	EXPECT_EQ(product.compression_level, 19);
	const InstallMeta& meta = product.install_file[0].install_meta;
	EXPECT_EQ(meta.destination, "User Selected");
	EXPECT_EQ(meta.destination_exists, "Replace");
	EXPECT_EQ(meta.link, "None");
	EXPECT_EQ(meta.deinstallable, "True");
	EXPECT_EQ(meta.auto_launch, "False");
	EXPECT_TRUE(product.install_file[0].groups.empty());
	EXPECT_EQ(product.install_file[0].file_type, kItemKindFromEntry);
}

TEST_F(ProductDescriptionTest, FriendlyFormsBecomeRecordValues)
{
	std::string top = "license = { file = \"licence.txt\" }\n"
	                  "req_ram_amount = \"1500 KB\"\n"
	                  "req_shared_library = { req_shared_library_req = true, "
	                  "req_shared_library_name = [\"libz.so\", \"libm.so\"] }\n";
	std::string tables = "groups = \"Normal;\"\n"
	                     "file_type = \"application\"\n"
	                     "install_meta = { auto_launch = true, deinstallable = \"False\", "
	                     "link = \"Applications\" }\n";
	ASSERT_EQ(Parse(top + kBase + tables), B_OK) << testing::PrintToString(fDescription.Errors());
	const Product& product = fDescription.GetProduct();
	EXPECT_EQ(product.license, "Use it well.\n");
	EXPECT_EQ(product.req_ram_amount, 2);
	EXPECT_TRUE(product.req_shared_library.required);
	EXPECT_EQ(product.req_shared_library.names, (std::vector<std::string>{"libz.so", "libm.so"}));
	const ProductItem& item = product.install_file[0];
	EXPECT_EQ(item.groups, std::vector<std::string>{"Normal"});
	EXPECT_EQ(item.file_type, kItemApplication);
	EXPECT_EQ(item.install_meta.auto_launch, "True");
	EXPECT_EQ(item.install_meta.deinstallable, "False");
}

TEST_F(ProductDescriptionTest, ZstdAndItsLevelAreRead)
{
	ASSERT_EQ(Parse(std::string("compression = \"zstd\"\ncompression_level = 3\n") + kBase), B_OK)
	        << testing::PrintToString(fDescription.Errors());
	EXPECT_EQ(fDescription.GetProduct().compression, "zstd");
	EXPECT_EQ(fDescription.GetProduct().compression_level, 3);
}

struct SizeCase {
	const char* text;
	double bytes;
	uint32 unit;
	float conversion;
};

TEST_F(ProductDescriptionTest, DiskSizesInEveryUnit)
{
	const SizeCase cases[] = {
	        {"\"10 MB\"", 10485760, 'mb  ', 1048576},
	        {"\"1.5GB\"", 1610612736, 'gb  ', 1073741824},
	        {"\"512 kb\"", 524288, 'kb  ', 1024},
	        {"\"100 B\"", 100, 'b   ', 1},
	        {"2048", 2048, 'b   ', 1},
	};
	for (const SizeCase& size : cases) {
		std::string top = std::string("req_disk_space_amount = ") + size.text + "\n";
		ASSERT_EQ(Parse(top + kBase), B_OK) << size.text;
		const DiskAmount& amount = fDescription.GetProduct().req_disk_space_amount;
		EXPECT_EQ(amount.value, size.bytes) << size.text;
		EXPECT_EQ(amount.value_type, size.unit) << size.text;
		EXPECT_EQ(amount.value_conversion, size.conversion) << size.text;
	}
}

TEST_F(ProductDescriptionTest, ItemLeafIsTheLastComponentAsWritten)
{
	std::string tables = "[[install_file]]\nfile_name = \"folder/\"\n";
	ASSERT_EQ(Parse(kBase + tables), B_OK) << testing::PrintToString(fDescription.Errors());
	EXPECT_EQ(fDescription.GetProduct().install_file[1].leaf, "folder");
	EXPECT_EQ(fDescription.GetProduct().install_file[1].source, fFolder / "folder");
}

TEST_F(ProductDescriptionTest, CustomFolderServesAsDestinationAndLink)
{
	std::string tables = "install_meta = { destination = \"Docs\", link = \"Docs\" }\n"
	                     "[[custom_folder]]\ncustom_folder_name = \"Docs\"\n"
	                     "custom_root_dir = \"User Settings\"\ncustom_sub_dir = \"docs/p\"\n";
	ASSERT_EQ(Parse(kBase + tables), B_OK) << testing::PrintToString(fDescription.Errors());
	EXPECT_EQ(fDescription.GetProduct().custom_folder[0].custom_root_dir, 3006);
}

} // namespace
