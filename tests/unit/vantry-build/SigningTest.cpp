// Signing with minisign keys: reading the key, and a signature that covers
// every byte of the installer but its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "BuildTestSupport.h"
#include "InstallerSignature.h"
#include "InstallerWriter.h"
#include "MinisignKeys.h"
#include "ProductDescription.h"
#include "ResourceContainer.h"
#include "Resources.h"
#include "ScopedEnv.h"
#include "SigningKey.h"
#include "TypeConstants.h"

namespace {

using minisign_test::KeyFiles;
using minisign_test::MakeKey;

TEST(SigningKeyTest, ReadsMinisignKeysAndNamesWhatIsWrongWithOne)
{
	TempFolder folder;
	const KeyFiles plain = MakeKey(folder / "plain");
	const KeyFiles locked = MakeKey(folder / "locked", "open sesame");
	const std::string notKey = folder.Write("not.key", "hello\n");
	const std::string badBase64 =
	        folder.Write("bad.key", "untrusted comment: minisign secret key\n!!!!\n");
	std::string damaged = ReadText(plain.secret);
	// Another base64 digit inside the secret key: still base64, another key.
	char& digit = damaged[damaged.find('\n') + 120];
	digit = digit == 'A' ? 'B' : 'A';
	const std::string damagedKey = folder.Write("damaged.key", damaged);
	const struct {
		const char* name;
		std::string path;
		const char* password;
		const char* error; // empty when the key reads
	} cases[] = {
	        {"plain", plain.secret, nullptr, ""},
	        {"encrypted", locked.secret, "open sesame", ""},
	        {"wrong password", locked.secret, "open says me", "wrong password"},
	        {"not a key", notKey, nullptr, "not a minisign secret key"},
	        {"not base64", badBase64, nullptr, "not a minisign secret key"},
	        {"damaged", damagedKey, nullptr, "is damaged"},
	        {"missing", folder / "none.key", nullptr, "cannot read the secret key"},
	};
	for (const auto& c : cases) {
		ScopedEnv password("VANTRY_SIGN_PASSWORD", c.password);
		SigningKey key(c.path);
		if (c.error[0] == '\0') {
			EXPECT_EQ(key.InitCheck(), B_OK) << c.name << ": " << key.ErrorText();
			EXPECT_EQ(InstallerSignature::KeyIdText(key.KeyId()),
			          c.path == plain.secret ? plain.id : locked.id)
			        << c.name;
			continue;
		}
		EXPECT_NE(key.InitCheck(), B_OK) << c.name;
		EXPECT_EQ(key.ErrorText().rfind(c.path + ": ", 0), 0u) << c.name << ": " << key.ErrorText();
		EXPECT_NE(key.ErrorText().find(c.error), std::string::npos)
		        << c.name << ": " << key.ErrorText();
	}
}

class SignedInstallerTest : public testing::Test {
protected:
	void SetUp() override
	{
		fFolder.Write("files/a.txt", std::string(100000, 'a'));
		const std::string path =
		        fFolder.Write("product.toml", "app_name = \"P\"\ncompany = \"Maker\"\n"
		                                      "[[install_file]]\nfile_name = \"files/a.txt\"\n");
		ASSERT_EQ(fDescription.Load(path.c_str()), B_OK);
		fParts.installer = "/bin/true";
		fParts.deinstaller = "/bin/true";
		fParts.strings = std::string(VANTRY_SOURCE_DIR) + "/data/strings";
		fKey = MakeKey(fFolder / "maker");
		fOutput = fFolder / "installer";
	}

	// The file offset `into` bytes into the data of resource (type, id).
	off_t Inside(const type_code& type, const int32& id, const off_t& into)
	{
		BResources resources(fOutput.c_str(), false);
		off_t offset = 0;
		size_t size = 0;
		EXPECT_EQ(resources.GetResourceRange(type, id, &offset, &size), B_OK);
		return offset + into;
	}

	// Where the resources block starts, after the program.
	off_t BlockOffset()
	{
		const int fd = open(fOutput.c_str(), O_RDONLY);
		HostFileReader reader(fd, off_t(std::filesystem::file_size(fOutput)));
		ResourceContainer container;
		ResourceError error;
		EXPECT_EQ(locate_resource_block(reader, &container, &error), B_OK);
		close(fd);
		return container.blockOffset;
	}

	TempFolder fFolder;
	ProductDescription fDescription;
	InstallerParts fParts;
	KeyFiles fKey;
	std::string fOutput;
};

TEST_F(SignedInstallerTest, ABytesChangeAnywhereButInTheSignatureIsFoundAndNamed)
{
	SigningKey key(fKey.secret);
	ASSERT_EQ(key.InitCheck(), B_OK) << key.ErrorText();
	fParts.key = &key;
	InstallerWriter writer(fDescription.GetProduct(), fParts);
	ASSERT_EQ(writer.Write(fOutput), B_OK) << testing::PrintToString(writer.Errors());
	const InstallerSignature good(fOutput.c_str());
	ASSERT_EQ(good.GetState(), InstallerSignature::kGood) << good.Problem();
	EXPECT_EQ(good.Summary("Maker"), "Signed by Maker (key " + fKey.id + ")");
	EXPECT_TRUE(std::filesystem::exists(fOutput + ".minisig"));

	const off_t end = off_t(std::filesystem::file_size(fOutput));
	const struct {
		const char* name;
		off_t at;
		const char* named;
	} cases[] = {
	        {"program", 2000, "(the program)"},
	        {"string table", Inside(B_STRING_TYPE, 1, 2), "(the resource CSTR 1 \"en:1000\")"},
	        {"payload", Inside(B_RAW_TYPE, 2100, 40), "(the resource RAWT 2100 \"a.txt\")"},
	        {"record", Inside(B_STRING_TYPE, 2002, 30),
	         "(the resource CSTR 2002 \"VXC:configuration\")"},
	        {"signature", Inside(kSignatureType, kSignatureId, 50), "the signature itself"},
	        {"a part's digest", Inside(kSignatureType, kSignatureId, 200), "the signature itself"},
	        {"the part count", Inside(kSignatureType, kSignatureId, 109), "parts take"},
	        {"resource tables", BlockOffset() + 20, "(the resource tables)"},
	        {"info table", end - 20, "its resources cannot be read"},
	};
	for (const auto& c : cases) {
		const std::string copy = fFolder / "changed";
		std::filesystem::copy_file(fOutput, copy,
		                           std::filesystem::copy_options::overwrite_existing);
		std::string bytes = ReadText(copy);
		bytes[size_t(c.at)] ^= 0x04;
		WriteText(copy, bytes);
		const InstallerSignature bad(copy.c_str());
		EXPECT_EQ(bad.GetState(), InstallerSignature::kBad) << c.name;
		EXPECT_NE(bad.Problem().find(c.named), std::string::npos)
		        << c.name << ": " << bad.Problem();
	}
	// An unsigned build leaves no signature of an earlier one beside it.
	fParts.key = nullptr;
	ASSERT_EQ(InstallerWriter(fDescription.GetProduct(), fParts).Write(fOutput), B_OK);
	EXPECT_EQ(InstallerSignature(fOutput.c_str()).Summary("Maker"), "This installer is not signed");
	EXPECT_FALSE(std::filesystem::exists(fOutput + ".minisig"));
}

// Installers signed before parts were digested with SHA-256 carry "ED" and
// BLAKE2b digests: they still verify, and a changed byte is still found.
TEST_F(SignedInstallerTest, InstallersSignedWithBlake2bPartsStillVerify)
{
	SigningKey key(fKey.secret);
	ASSERT_EQ(key.InitCheck(), B_OK) << key.ErrorText();
	fParts.key = &key;
	ASSERT_EQ(InstallerWriter(fDescription.GetProduct(), fParts).Write(fOutput), B_OK);
	off_t offset = 0;
	size_t size = 0;
	ASSERT_EQ(BResources(fOutput.c_str(), false)
	                  .GetResourceRange(kSignatureType, kSignatureId, &offset, &size),
	          B_OK);
	std::vector<uint64> lengths;
	std::vector<std::string> digests;
	std::string error;
	ASSERT_EQ(InstallerSignature::PartLengths(fOutput.c_str(), offset, size, &lengths, &error),
	          B_OK);
	const int fd = open(fOutput.c_str(), O_RDWR);
	ASSERT_EQ(InstallerSignature::DigestParts(fd, lengths, offset, size, false, &digests, &error),
	          B_OK);
	SignatureHead head;
	memcpy(head.keyId, key.KeyId(), sizeof(head.keyId));
	memcpy(head.publicKey, key.PublicKey(), sizeof(head.publicKey));
	std::string resource = InstallerSignature::Encode(head, lengths, digests);
	resource.replace(0, 2, "ED");
	const std::string prehash = InstallerSignature::Prehash(resource);
	uint8 signature[64];
	key.Sign((const uint8*)prehash.data(), prehash.size(), signature);
	InstallerSignature::SetSignature(&resource, signature);
	ASSERT_EQ(pwrite(fd, resource.data(), resource.size(), offset), ssize_t(resource.size()));
	close(fd);
	const InstallerSignature old(fOutput.c_str());
	EXPECT_EQ(old.GetState(), InstallerSignature::kGood) << old.Problem();

	std::string bytes = ReadText(fOutput);
	bytes[size_t(Inside(B_RAW_TYPE, 2100, 40))] ^= 0x04;
	WriteText(fOutput, bytes);
	const InstallerSignature changed(fOutput.c_str());
	EXPECT_EQ(changed.GetState(), InstallerSignature::kBad);
	EXPECT_NE(changed.Problem().find("RAWT 2100"), std::string::npos) << changed.Problem();
}

} // namespace
