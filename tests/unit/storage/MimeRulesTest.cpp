// The host layer's content rules, and a fuller sniffer taking precedence.
#include <gtest/gtest.h>

#include <string>

#include "Mime.h"
#include "MimeRules.h"
#include "MimeType.h"

namespace {

std::string Sniff(const std::string& data)
{
	return mime_type_by_rules(data.data(), data.size());
}

std::string AlwaysFound(const void*, size_t)
{
	return "application/x-found";
}

std::string NeverFound(const void*, size_t)
{
	return std::string();
}

} // namespace

TEST(MimeRulesTest, ContentGivesItsType)
{
	std::string cutUtf8 = "Grüße aus Zürich " + std::string("\xc3", 1);
	const struct {
		const char* name;
		std::string data;
		const char* type;
	} cases[] = {
	        {"empty", "", B_FILE_MIME_TYPE},
	        {"plain text", "Just some words.\n\tIndented.\r\n", "text/plain"},
	        {"UTF-8 text cut mid-character", cutUtf8, "text/plain"},
	        {"shell script", "#!/bin/sh\necho hi\n", "text/x-shellscript"},
	        {"bash through env", "#!/usr/bin/env bash\nls\n", "text/x-shellscript"},
	        {"other script", "#!/usr/bin/python3\nprint(1)\n", "text/plain"},
	        {"PDF", "%PDF-1.4\n", "application/pdf"},
	        {"PNG", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "image/png"},
	        {"JPEG", "\xff\xd8\xff\xe0", "image/jpeg"},
	        {"GIF", "GIF89a....", "image/gif"},
	        {"ZIP", "PK\x03\x04rest", "application/zip"},
	        {"ELF without its execute bit", "\177ELF\2\1\1", "application/x-executable"},
	        {"NUL byte", std::string("text\0more", 9), B_FILE_MIME_TYPE},
	        {"bad UTF-8", "caf\xe9 au lait", B_FILE_MIME_TYPE},
	        {"control bytes", "\x01\x02\x03\x04", B_FILE_MIME_TYPE},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.name);
		EXPECT_EQ(Sniff(test.data), test.type);
	}
}

TEST(MimeRulesTest, FullerSnifferComesFirstAndFallsBackToTheRules)
{
	const char text[] = "plain words\n";
	EXPECT_EQ(sniff_mime_type_data(text, sizeof(text) - 1, 0644), "text/plain");
	set_mime_content_sniffer(AlwaysFound);
	EXPECT_EQ(sniff_mime_type_data(text, sizeof(text) - 1, 0644), "application/x-found");
	// An executable is the platform's type whatever the sniffer says.
	EXPECT_EQ(sniff_mime_type_data("\177ELF\2\1\1", 7, 0755), B_ELF_APP_MIME_TYPE);
	set_mime_content_sniffer(NeverFound);
	EXPECT_EQ(sniff_mime_type_data(text, sizeof(text) - 1, 0644), "text/plain");
	set_mime_content_sniffer(nullptr);
}
