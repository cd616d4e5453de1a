// The cheap typing rules: what they decide, what they leave to the content
// database, and that sniffing follows them.
#include "TypeRules.h"

#include <gtest/gtest.h>

#include <string>

#include "Mime.h"
#include "MimeRules.h"
#include "MimeType.h"

namespace {

struct RuleCase {
	const char* leaf;
	std::string data;
	mode_t mode;
	const char* type; // "" when the rules leave the file undecided
};

} // namespace

TEST(TypeRulesTest, DecidesByMagicThenInterpreterThenExtension)
{
	const std::string elf("\177ELF\2\1\1\0", 8);
	const std::string pyc = std::string("\xa7\r\r\n", 4) + std::string(12, '\0');
	const RuleCase cases[] = {
	        {"empty.h", "", 0644, B_FILE_MIME_TYPE},
	        {"program", elf, 0755, B_ELF_APP_MIME_TYPE},
	        {"library.so", elf, 0644, ""},
	        {"icon.h", "\x89PNG\r\n\x1a\n....", 0644, "image/png"},
	        {"photo", std::string("\xff\xd8\xff\xe0", 4), 0644, "image/jpeg"},
	        {"manual.txt", "%PDF-1.7\n", 0644, "application/pdf"},
	        {"data.gz", std::string("\x1f\x8b\x08\0", 4), 0644, "application/gzip"},
	        {"mod.cpython-311.pyc", pyc, 0644, "application/x-bytecode.python"},
	        {"mod.dat", pyc, 0644, ""},
	        {"run", "#!/bin/sh\necho hi\n", 0755, "text/x-shellscript"},
	        {"tool", "#!/usr/bin/env -S python3.11 -u\nprint()\n", 0755, "text/x-script.python"},
	        {"tool.txt", "#! /usr/bin/perl -w\n", 0644, "text/x-perl"},
	        {"tool", "#!/usr/bin/awk -f\n", 0755, ""},
	        {"stdio.h", "#include <stddef.h>\n", 0644, "text/x-c"},
	        {"vector.H", "namespace std {}\n", 0644, "text/x-c++"},
	        {"os.py", "import sys\n", 0644, "text/x-script.python"},
	        {"notes.txt", "caf\xc3\xa9 au lait\n", 0644, "text/plain"},
	        {"cut.txt", "caf\xc3", 0644, "text/plain"},
	        {"latin1.txt", "caf\xe9 au lait\n", 0644, ""},
	        {"binary.h", std::string("int\0x", 5), 0644, ""},
	        {"README", "plain words\n", 0644, ""},
	        {".h", "hidden\n", 0644, ""},
	        {nullptr, "plain words\n", 0644, ""},
	        {"page.unknown", "<html></html>\n", 0644, ""},
	};
	for (const RuleCase& one : cases) {
		SCOPED_TRACE(one.leaf != nullptr ? one.leaf : "(no name)");
		EXPECT_EQ(rule_mime_type(one.leaf, one.data.data(), one.data.size(), one.mode), one.type);
	}
}

// Sniffing takes the rules' answer, and asks the database only when they
// leave a file undecided.
TEST(TypeRulesTest, SniffingFollowsTheRules)
{
	const std::string header = "int add(int a, int b);\n";
	EXPECT_EQ(sniff_mime_type_data(header.data(), header.size(), 0644, "add.hpp"), "text/x-c++");
	const std::string pdf = "%PDF-1.4\n";
	EXPECT_EQ(sniff_mime_type_data(pdf.data(), pdf.size(), 0644), "application/pdf");
	// What the rules leave undecided goes to the program's sniffer, or to the
	// host's content rules when it carries none.
	const std::string html = "<!DOCTYPE html>\n<html><body>hello</body></html>\n";
	EXPECT_EQ(sniff_mime_type_data(html.data(), html.size(), 0644, "page"), "text/plain");
	set_mime_content_sniffer([](const void*, size_t) { return std::string("text/html"); });
	EXPECT_EQ(sniff_mime_type_data(html.data(), html.size(), 0644, "page"), "text/html");
	EXPECT_EQ(sniff_mime_type_data(pdf.data(), pdf.size(), 0644), "application/pdf")
	        << "a signature the rules know is not asked of the sniffer";
	set_mime_content_sniffer(nullptr);
}
