// The shortcuts in front of libmagic: each sample's type must be the one
// libmagic's full database gives, whether a shortcut answered or not.
#include "MagicShortcuts.h"

#include <magic.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "MagicSniffer.h"
#include "MimeRules.h"

namespace {

std::string full_libmagic(const std::string& data)
{
	static magic_t cookie = [] {
		magic_t opened = magic_open(MAGIC_MIME_TYPE | MAGIC_ERROR | MAGIC_NO_CHECK_COMPRESS |
		                            MAGIC_NO_CHECK_TAR | MAGIC_NO_CHECK_ELF);
		magic_load(opened, nullptr);
		return opened;
	}();
	const char* found = magic_buffer(cookie, data.data(), data.size());
	return found != nullptr ? found : "";
}

std::string elf_of_kind(char kind)
{
	std::ifstream in("/bin/true", std::ios::binary);
	std::string data(2048, '\0');
	in.read(data.data(), (std::streamsize)data.size());
	data.resize((size_t)in.gcount());
	data[16] = kind;
	return data;
}

const std::string kArMember = "hello.o/        0           0     0     644     4         `\n";

struct SniffCase {
	const char* label;
	std::string data;
	bool shortcut; // whether libmagic's database is spared
};

class MagicShortcutsTest : public testing::TestWithParam<SniffCase> {};

TEST_P(MagicShortcutsTest, AgreesWithTheFullDatabase)
{
	const SniffCase& test = GetParam();
	const bool spared = !magic_header_type(test.data.data(), test.data.size()).empty() ||
	                    reads_as_plain_prose(test.data.data(), test.data.size());
	EXPECT_EQ(spared, test.shortcut);
	use_magic_sniffer();
	EXPECT_EQ(mime_content_sniffer_in_use()(test.data.data(), test.data.size()),
	          full_libmagic(test.data));
}

INSTANTIATE_TEST_SUITE_P(
        Samples, MagicShortcutsTest,
        testing::Values(
                SniffCase{"RelocatableElf", elf_of_kind(1), true},
                SniffCase{"ExecutableElf", elf_of_kind(2), true},
                SniffCase{"SharedElf", elf_of_kind(3), true},
                SniffCase{"CoreElf", elf_of_kind(4), false},
                SniffCase{"ArArchive", "!<arch>\n" + kArMember + "abcd", true},
                SniffCase{"DebianPackage", "!<arch>\ndebian-binary   0  0 0 644 4 `\n2.0\n", false},
                SniffCase{"Words", "install 1234 payload 99 archive Vantry folder\nresource 7\n",
                          true},
                SniffCase{"Sentences", "It's a well-known fact.\nNothing more, really!\n", true},
                SniffCase{"CommaTable", "a, b, c\n1, 2, 3\n4, 5, 6\n7, 8, 9\n", true},
                SniffCase{"Fortran", "c this is a comment\n      program hello\n", false},
                SniffCase{"PythonImport", "from os import path\n", false},
                SniffCase{"RubyModule", "module Foo\n  def bar\n  end\nend\n", false},
                SniffCase{"Troff", ".TH TITLE 1\n.SH NAME\n", false},
                SniffCase{"CSource", "#include <stdio.h>\nint main(void) { return 0; }\n", false},
                SniffCase{"Binary", std::string("\x01\x02\x03\xff\xfe\x00\x10", 7), false},
                SniffCase{"Utf16WithNul", std::string("\xff\xfeh\0i\0\n\0", 8), false},
                SniffCase{"Latin1",
                          "caf\xe9 cr\xe8me br\xfbl\xe9"
                          "e\n",
                          false}),
        [](const testing::TestParamInfo<SniffCase>& info) { return info.param.label; });

// Random bytes, most of them holding a NUL and so spared the text checks,
// some made to look like a format's header: typed as the database types them.
TEST(MagicShortcutsCorpus, RandomBytesAreTypedAsTheDatabaseTypesThem)
{
	const std::string headers[] = {"",
	                               "MZ",
	                               "\x7f"
	                               "ELF",
	                               "OggS",
	                               "RIFF",
	                               "\xff\xfe"};
	std::mt19937 random(9);
	use_magic_sniffer();
	size_t spared = 0;
	for (int sample = 0; sample < 300; sample++) {
		std::string data = headers[sample % std::size(headers)];
		const size_t size = 16 + random() % 1200;
		while (data.size() < size)
			data.push_back((char)(random() & 0xff));
		spared += cannot_be_text(data.data(), data.size()) ? 1 : 0;
		ASSERT_EQ(mime_content_sniffer_in_use()(data.data(), data.size()), full_libmagic(data))
		        << sample;
	}
	EXPECT_GT(spared, 150u);
}

// Text of the benchmark's kind, words and numbers: every sample is spared
// the database and typed as libmagic would.
TEST(MagicShortcutsCorpus, GeneratedProseIsTypedAsTheDatabaseTypesIt)
{
	const char* words[] = {"install ",   "payload ",  "archive ", "Vantry ",
	                       "attribute ", "resource ", "folder\n", "deinstall "};
	std::mt19937 random(5);
	use_magic_sniffer();
	for (int sample = 0; sample < 200; sample++) {
		std::string text;
		const size_t size = 1 + random() % 1500;
		while (text.size() < size)
			text += words[random() % 8] + std::to_string(random() % 100000);
		text.resize(size);
		ASSERT_TRUE(reads_as_plain_prose(text.data(), text.size())) << text;
		ASSERT_EQ(mime_content_sniffer_in_use()(text.data(), text.size()), full_libmagic(text))
		        << text;
	}
}

} // namespace
