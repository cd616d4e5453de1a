// Type descriptions and types by name, from a type database and a shared MIME
// database built in a temporary folder.
#include "MimeDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "Node.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"
#include "TypeConstants.h"

namespace {

void Put(const std::string& path, const std::string& text)
{
	std::filesystem::create_directories(std::filesystem::path(path).parent_path());
	WriteText(path, text);
}

class MimeWorld {
public:
	MimeWorld()
	    : fRoot("VANTRY_ROOT", fFolder.Path()), fHome("HOME", fFolder / "home"),
	      fUser("XDG_DATA_HOME", fFolder / "user"), fSystem("XDG_DATA_DIRS", fFolder / "system")
	{
		Put(fFolder / "system/mime/globs2",
		    "# comment\n50:text/plain:*.txt\n50:application/x-troff-man:*.[1-9]\n"
		    "50:application/gzip:*.gz\n50:application/x-compressed-tar:*.tar.gz\n"
		    "50:text/x-makefile:Makefile:cs\n10:text/troff:*.t\n");
		Put(fFolder / "system/mime/aliases", "text/x-troff text/troff\n");
		Put(fFolder / "system/mime/text/troff.xml",
		    "<mime-type type=\"text/troff\">\n  <comment>Troff document</comment>\n"
		    "  <comment xml:lang=\"de\">Troff-Dokument</comment>\n</mime-type>\n");
		Put(fFolder / "system/mime/image/png.xml",
		    "<mime-type><comment xml:lang=\"nb\">PNG-bilde</comment>\n"
		    "<comment>PNG image</comment><comment xml:lang=\"fr\">image PNG &amp; co"
		    "</comment></mime-type>\n");
		// The user's own database comes first.
		Put(fFolder / "user/mime/globs2", "50:text/x-own:*.own\n");
		const std::string own = fFolder / "home/config/settings/beos_mime/text/x-vanex";
		Put(own, "");
		BNode(own.c_str()).WriteAttr("META:S:DESC", B_STRING_TYPE, 0, "Vantry product", 15);
	}

private:
	TempFolder fFolder;
	ScopedEnv fRoot;
	ScopedEnv fHome;
	ScopedEnv fUser;
	ScopedEnv fSystem;
};

TEST(MimeDatabaseTest, DescriptionsComeInTheLanguageAskedElseInTheDatabasesOwn)
{
	MimeWorld world;
	struct Case {
		const char* type;
		const char* language;
		const char* description;
	};
	const Case cases[] = {
	        {"text/troff", "de", "Troff-Dokument"},   {"text/troff", "sv", "Troff document"},
	        {"text/troff", "", "Troff document"},     {"text/x-troff", "en", "Troff document"},
	        {"image/png", "no", "PNG-bilde"},         {"IMAGE/PNG", "fr", "image PNG & co"},
	        {"text/x-vanex", "de", "Vantry product"}, {"text/x-unknown", "en", ""},
	        {"../../etc/passwd", "en", ""},           {"", "en", ""},
	};
	for (const Case& test : cases)
		EXPECT_EQ(mime_type_description(test.type, test.language), test.description)
		        << test.type << " " << test.language;
}

TEST(MimeDatabaseTest, ANameTakesTheHeaviestLongestGlob)
{
	MimeWorld world;
	struct Case {
		const char* leaf;
		const char* type;
	};
	const Case cases[] = {
	        {"notes.txt", "text/plain"},
	        {"NOTES.TXT", "text/plain"},
	        {"hello.1", "application/x-troff-man"},
	        {"data.tar.gz", "application/x-compressed-tar"},
	        {"data.gz", "application/gzip"},
	        {"Makefile", "text/x-makefile"},
	        {"makefile", ""},
	        {"paper.t", "text/troff"},
	        {"mine.own", "text/x-own"},
	        {"picture", ""},
	};
	for (const Case& test : cases)
		EXPECT_EQ(mime_type_for_name(test.leaf), test.type) << test.leaf;
}

} // namespace
