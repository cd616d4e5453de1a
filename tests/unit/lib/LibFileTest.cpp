// File utilities: folders, copy, move across simulated volumes, removal,
// links, sizes, path search and unique names, with awkward names throughout.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <ctime>

#include "FindDirectory.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "LibFileTestSupport.h"
#include "Node.h"
#include "NodeInfo.h"
#include "TypeConstants.h"

using namespace libfile_test;

namespace {

// A file with a typed attribute, a MIME type and an unusual mode.
void MakeTypedFile(const std::string& path, const std::string& text)
{
	WriteText(path, text);
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "Product;1.0;", 12), 12);
	BNodeInfo info(&node);
	ASSERT_EQ(info.SetType("text/x-vantry-test"), B_OK);
	chmod(path.c_str(), 0640);
}

void ExpectTypedFile(const std::string& path, const std::string& text)
{
	EXPECT_EQ(ReadText(path), text) << path;
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK) << path;
	char tag[32] = "";
	EXPECT_EQ(node.ReadAttr("InstallBy", B_STRING_TYPE, 0, tag, sizeof(tag)), 12);
	EXPECT_STREQ(tag, "Product;1.0;");
	attr_info attr;
	ASSERT_EQ(node.GetAttrInfo("InstallBy", &attr), B_OK);
	EXPECT_EQ(attr.type, (uint32)B_STRING_TYPE);
	char type[B_MIME_TYPE_LENGTH] = "";
	BNodeInfo info(&node);
	EXPECT_EQ(info.GetType(type), B_OK);
	EXPECT_STREQ(type, "text/x-vantry-test");
	struct stat st;
	ASSERT_EQ(stat(path.c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A socket node: something no copy can reproduce, so a copy of its folder fails.
void MakeSocket(const std::string& path)
{
	int fd = socket(AF_UNIX, SOCK_STREAM, 0);
	ASSERT_GE(fd, 0);
	struct sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	ASSERT_LT(path.size(), sizeof(address.sun_path));
	strcpy(address.sun_path, path.c_str());
	ASSERT_EQ(bind(fd, (struct sockaddr*)&address, sizeof(address)), 0);
	close(fd);
}

} // namespace

TEST(LibFileTest, MkdirMakesMissingParentsOnlyWhenAbsent)
{
	TempFolder temp;
	std::string deep = temp / "a/b/c";
	const mode_t previous = umask(027);
	EXPECT_TRUE(Libmkdir(deep.c_str()));
	umask(previous);
	struct stat st;
	ASSERT_EQ(stat(deep.c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(st.st_mode & 0777, 0750u) << "the umask decides";
	ASSERT_EQ(stat((temp / "a").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0750u) << "parents too";
	WriteText(deep + "/keep", "x");
	EXPECT_FALSE(Libmkdir(deep.c_str()));
	EXPECT_EQ(ReadText(deep + "/keep"), "x");
	WriteText(temp / "file", "");
	EXPECT_FALSE(Libmkdir((temp / "file/sub").c_str()));
	EXPECT_FALSE(LibExists((temp / "file/sub").c_str()));
}

TEST(LibFileTest, ExistsFollowsLinks)
{
	TempFolder temp;
	WriteText(temp / "real", "");
	symlink((temp / "real").c_str(), (temp / "good").c_str());
	symlink((temp / "gone").c_str(), (temp / "dangling").c_str());
	EXPECT_TRUE(LibExists((temp / "good").c_str()));
	EXPECT_FALSE(LibExists((temp / "dangling").c_str()));
	EXPECT_FALSE(LibExists(""));
	EXPECT_FALSE(LibExists(nullptr));
}

TEST(LibFileTest, CopyKeepsAttributesTypeAndModeThroughATree)
{
	TempFolder temp;
	std::string source = temp / "app";
	mkdir(source.c_str(), 0755);
	mkdir((source + "/lib").c_str(), 0700);
	MakeTypedFile(source + "/lib/data", "payload");
	symlink("lib/data", (source + "/link").c_str());
	ASSERT_TRUE(LibCopy(source.c_str(), (temp / "copy").c_str()));
	ExpectTypedFile(temp / "copy/lib/data", "payload");
	char text[64] = "";
	ASSERT_GT(readlink((temp / "copy/link").c_str(), text, sizeof(text)), 0);
	EXPECT_STREQ(text, "lib/data");
	struct stat st;
	ASSERT_EQ(stat((temp / "copy/lib").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0700u);
	ExpectTypedFile(source + "/lib/data", "payload");
}

TEST(LibFileTest, CopyIntoAnExistingFolderPlacesTheSourceInside)
{
	TempFolder temp;
	WriteText(temp / "file", "one");
	mkdir((temp / "folder").c_str(), 0755);
	ASSERT_TRUE(LibCopy((temp / "file").c_str(), (temp / "folder").c_str()));
	EXPECT_EQ(ReadText(temp / "folder/file"), "one");
	WriteText(temp / "file", "two");
	ASSERT_TRUE(LibCopy((temp / "file").c_str(), (temp / "folder/file").c_str()));
	EXPECT_EQ(ReadText(temp / "folder/file"), "two");
	EXPECT_EQ(Listing(temp / "folder"), std::vector<std::string>{"file"});
}

TEST(LibFileTest, CopyOfALinkLoopCopiesTheLinksAndEnds)
{
	TempFolder temp;
	std::string source = temp / "loop";
	mkdir(source.c_str(), 0755);
	symlink("..", (source + "/up").c_str());
	symlink(source.c_str(), (source + "/self").c_str());
	ASSERT_TRUE(LibCopy(source.c_str(), (temp / "copy").c_str()));
	struct stat st;
	ASSERT_EQ(lstat((temp / "copy/self").c_str(), &st), 0);
	EXPECT_TRUE(S_ISLNK(st.st_mode));
	ASSERT_EQ(lstat((temp / "copy/up").c_str(), &st), 0);
	EXPECT_TRUE(S_ISLNK(st.st_mode));
	ASSERT_TRUE(LibCopy((temp / "copy/self").c_str(), (temp / "lonely").c_str()));
	ASSERT_EQ(lstat((temp / "lonely").c_str(), &st), 0);
	EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(LibFileTest, CopyIntoItselfIsRefused)
{
	TempFolder temp;
	mkdir((temp / "tree").c_str(), 0755);
	WriteText(temp / "tree/file", "x");
	EXPECT_FALSE(LibCopy((temp / "tree").c_str(), (temp / "tree/inner").c_str()));
	EXPECT_FALSE(LibCopy((temp / "tree").c_str(), (temp / "tree").c_str()));
	EXPECT_EQ(Listing(temp / "tree"), std::vector<std::string>{"file"});
}

TEST(LibFileTest, FailedCopyLeavesNoPartialTargetAndKeepsTheOldOne)
{
	TempFolder temp;
	std::string source = temp / "src";
	mkdir(source.c_str(), 0755);
	WriteText(source + "/a", "a");
	MakeSocket(source + "/z-socket");
	EXPECT_FALSE(LibCopy(source.c_str(), (temp / "dst").c_str()));
	EXPECT_EQ(Listing(temp.Path()), std::vector<std::string>{"src"});
	EXPECT_FALSE(LibCopy((temp / "missing").c_str(), (temp / "dst").c_str()));
	EXPECT_FALSE(Occupied(temp / "dst"));
}

class CrossVolumeTest : public testing::Test {
protected:
	CrossVolumeTest()
	    : fRoot("VANTRY_ROOT", fTemp / "boot"), fVolumes("VANTRY_VOLUMES", fTemp / "other")
	{
		mkdir((fTemp / "boot").c_str(), 0755);
		mkdir((fTemp / "other").c_str(), 0755);
	}

	void SetUp() override
	{
		entry_ref boot;
		entry_ref other;
		ASSERT_TRUE(LibGetEntryRef(Boot("x").c_str(), boot));
		ASSERT_TRUE(LibGetEntryRef(Other("x").c_str(), other));
		ASSERT_NE(boot.device, other.device) << "the simulated volumes share a device";
	}

	std::string Boot(const std::string& leaf) { return fTemp / ("boot/" + leaf); }
	std::string Other(const std::string& leaf) { return fTemp / ("other/" + leaf); }

	TempFolder fTemp;
	ScopedEnv fRoot;
	ScopedEnv fVolumes;
};

TEST_F(CrossVolumeTest, MoveCopiesKeepsTypeAndRemovesTheSource)
{
	mkdir(Boot("app").c_str(), 0755);
	MakeTypedFile(Boot("app/doc"), "words");
	ASSERT_TRUE(LibMove(Boot("app").c_str(), Other("app").c_str()));
	EXPECT_FALSE(Occupied(Boot("app")));
	ExpectTypedFile(Other("app/doc"), "words");
	char type[B_MIME_TYPE_LENGTH] = "";
	BNode folder(Other("app").c_str());
	BNodeInfo info(&folder);
	EXPECT_EQ(info.GetType(type), B_OK);
	EXPECT_STREQ(type, B_DIRECTORY_MIME_TYPE);
}

TEST_F(CrossVolumeTest, FailedMoveKeepsTheSourceWhole)
{
	mkdir(Boot("app").c_str(), 0755);
	WriteText(Boot("app/a"), "a");
	MakeSocket(Boot("app/z"));
	EXPECT_FALSE(LibMove(Boot("app").c_str(), Other("app").c_str()));
	EXPECT_EQ(Listing(Boot("app")), (std::vector<std::string>{"a", "z"}));
	EXPECT_EQ(Listing(fTemp / "other"), std::vector<std::string>{});
}

TEST_F(CrossVolumeTest, MoveOnOneVolumeIsARename)
{
	MakeTypedFile(Boot("file"), "same");
	ino_t before = InodeOf(Boot("file"));
	mkdir(Boot("sub").c_str(), 0755);
	ASSERT_TRUE(LibMove(Boot("file").c_str(), Boot("sub").c_str()));
	EXPECT_EQ(InodeOf(Boot("sub/file")), before);
	ExpectTypedFile(Boot("sub/file"), "same");
}

TEST(LibFileTest, UnlinkRemovesATreeWithoutFollowingLinks)
{
	TempFolder temp;
	mkdir((temp / "outside").c_str(), 0755);
	WriteText(temp / "outside/keep", "k");
	mkdir((temp / "tree").c_str(), 0755);
	mkdir((temp / "tree/sub").c_str(), 0755);
	symlink((temp / "outside").c_str(), (temp / "tree/sub/escape").c_str());
	EXPECT_TRUE(LibUnlink((temp / "tree").c_str()));
	EXPECT_FALSE(Occupied(temp / "tree"));
	EXPECT_EQ(ReadText(temp / "outside/keep"), "k");
	EXPECT_TRUE(LibUnlink((temp / "tree").c_str()));
}

TEST(LibFileTest, SymLinkReplacesAFileAndGoesInsideAFolder)
{
	TempFolder temp;
	WriteText(temp / "target", "t");
	WriteText(temp / "name", "old");
	ASSERT_TRUE(LibSymLink((temp / "target").c_str(), (temp / "name").c_str()));
	EXPECT_EQ(ReadText(temp / "name"), "t");
	mkdir((temp / "folder").c_str(), 0755);
	ASSERT_TRUE(LibSymLink((temp / "target").c_str(), (temp / "folder").c_str()));
	EXPECT_EQ(ReadText(temp / "folder/target"), "t");
	EXPECT_FALSE(LibSymLink((temp / "target").c_str(), (temp / "no/such/link").c_str()));
}

TEST(LibFileTest, EntrySizeCountsAttributesAndFolders)
{
	TempFolder temp;
	WriteText(temp / "empty", "");
	BNode node((temp / "empty").c_str());
	ASSERT_EQ(node.WriteAttr("ten", B_RAW_TYPE, 0, "0123456789", 10), 10);
	ASSERT_EQ(node.WriteAttr("twenty", B_RAW_TYPE, 0, "01234567890123456789", 20), 20);
	EXPECT_EQ(LibEntrySize((temp / "empty").c_str(), true), 30);
	EXPECT_EQ(LibEntrySize((temp / "empty").c_str(), false), 0);
	mkdir((temp / "tree").c_str(), 0755);
	mkdir((temp / "tree/sub").c_str(), 0755);
	WriteText(temp / "tree/sub/five", "12345");
	WriteText(temp / "big", std::string(100000, 'b'));
	symlink((temp / "big").c_str(), (temp / "tree/link").c_str());
	struct stat folder;
	struct stat sub;
	ASSERT_EQ(lstat((temp / "tree").c_str(), &folder), 0);
	ASSERT_EQ(lstat((temp / "tree/sub").c_str(), &sub), 0);
	int32 expected = (int32)(folder.st_size + sub.st_size + 5 + (temp / "big").size());
	EXPECT_EQ(LibEntrySize((temp / "tree").c_str(), false), expected);
	EXPECT_EQ(LibEntrySize((temp / "missing").c_str(), true), 0);
}

TEST(LibFileTest, FindEnvFileTakesTheFirstFolderThatHoldsTheFile)
{
	TempFolder temp;
	for (const char* folder : {"one", "two", "three"})
		mkdir((temp / folder).c_str(), 0755);
	WriteText(temp / "two/tool", "");
	WriteText(temp / "three/tool", "");
	ScopedEnv list("VANTRY_TEST_PATH", temp / "one" + ":" + temp / "two" + ":" + temp / "three");
	BPath found("/untouched");
	ASSERT_TRUE(LibFindEnvFile("VANTRY_TEST_PATH", "tool", found));
	EXPECT_EQ(std::string(found.Path()), temp / "two/tool");
	found.SetTo("/untouched");
	EXPECT_FALSE(LibFindEnvFile("VANTRY_TEST_PATH", "absent", found));
	EXPECT_STREQ(found.Path(), "/untouched");
	ScopedEnv missing("VANTRY_TEST_NO_PATH", std::nullopt);
	EXPECT_FALSE(LibFindEnvFile("VANTRY_TEST_NO_PATH", "tool", found));
	char here[PATH_MAX];
	ASSERT_NE(getcwd(here, sizeof(here)), nullptr);
	ASSERT_TRUE(LibChangeDirectory((temp / "three").c_str()));
	ScopedEnv empty("VANTRY_TEST_PATH", temp / "one" + "::");
	EXPECT_TRUE(LibFindEnvFile("VANTRY_TEST_PATH", "tool", found));
	EXPECT_EQ(std::string(found.Path()), temp / "three/tool");
	ASSERT_TRUE(LibChangeDirectory(here));
}

// The counter part of a unique leaf: prefix, counter, process id, seconds.
int32 CounterOf(const std::string& leaf, const std::string& prefix)
{
	std::string pid = std::to_string(getpid());
	std::string rest = leaf.substr(prefix.size());
	size_t tail = pid.size() + std::to_string(time(nullptr)).size();
	if (rest.size() <= tail || rest.compare(rest.size() - tail, pid.size(), pid) != 0)
		return -1;
	return atoi(rest.substr(0, rest.size() - tail).c_str());
}

TEST(LibFileTest, UniqueNameCountsToTenThousandThenStartsAgain)
{
	TempFolder temp;
	BPath path(temp.Path().c_str());
	ASSERT_TRUE(LibUniqueName(path, "zip"));
	EXPECT_EQ(std::string(path.Path()).rfind(temp.Path() + "/zip", 0), 0u);
	int32 previous = CounterOf(path.Leaf(), "zip");
	ASSERT_GT(previous, 0);
	bool wrapped = false;
	for (int i = 0; i < 10001; i++) {
		BPath next(temp.Path().c_str());
		ASSERT_TRUE(LibUniqueName(next, "zip"));
		int32 counter = CounterOf(next.Leaf(), "zip");
		ASSERT_EQ(counter, previous == 10000 ? 1 : previous + 1) << next.Leaf();
		wrapped = wrapped || counter == 1;
		previous = counter;
	}
	EXPECT_TRUE(wrapped);
}

TEST(LibFileTest, UniqueNameStartsInTheTemporaryFolderAndRefusesLongLeaves)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp.Path());
	BPath path;
	ASSERT_TRUE(LibUniqueName(path, "tmp"));
	BPath folder;
	ASSERT_EQ(find_directory(B_COMMON_TEMP_DIRECTORY, &folder), B_OK);
	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), folder.Path());
	BPath kept(temp.Path().c_str());
	EXPECT_FALSE(LibUniqueName(kept, std::string(250, 'p').c_str()));
	EXPECT_STREQ(kept.Path(), temp.Path().c_str());
}

// Every utility takes names that a shell would split, expand or end.
class AwkwardNameTest : public testing::TestWithParam<std::string> {};

TEST_P(AwkwardNameTest, EveryUtilityHandlesTheName)
{
	TempFolder temp;
	const std::string name = GetParam();
	std::string folder = temp / "in";
	mkdir(folder.c_str(), 0755);
	std::string file = folder + "/" + name;
	MakeTypedFile(file, "content");

	ASSERT_TRUE(Libmkdir((temp / "out").c_str()));
	ASSERT_TRUE(LibCopy(file.c_str(), (temp / "out").c_str()));
	ExpectTypedFile(temp / "out/" + name, "content");

	EXPECT_EQ(LibEntrySize(file.c_str(), false), 7);
	entry_ref ref;
	ASSERT_TRUE(LibGetEntryRef(file.c_str(), ref));
	LibString full;
	ASSERT_TRUE(LibGetFullPath(ref, full));
	EXPECT_EQ(std::string(full.String()), file);
	char leaf[B_FILE_NAME_LENGTH];
	ASSERT_TRUE(LibGetChildName(file.c_str(), leaf));
	EXPECT_EQ(std::string(leaf), name);

	ASSERT_TRUE(LibSymLink(file.c_str(), (temp / "out/link").c_str()));
	EXPECT_EQ(ReadText(temp / "out/link"), "content");

	ASSERT_TRUE(Libmimeset(file.c_str()));
	char type[B_MIME_TYPE_LENGTH] = "";
	ASSERT_TRUE(LibGetMimeType(ref, type, false));
	EXPECT_STREQ(type, "text/plain");

	ASSERT_TRUE(LibMove(file.c_str(), (temp / "moved").c_str()));
	EXPECT_FALSE(Occupied(file));
	EXPECT_EQ(ReadText(temp / "moved"), "content");

	ASSERT_TRUE(LibCopy((temp / "out").c_str(), (temp / "again").c_str()));
	EXPECT_EQ(ReadText(temp / "again/" + name), "content");

	ASSERT_TRUE(LibUnlink((temp / "again").c_str()));
	EXPECT_FALSE(Occupied(temp / "again"));
}

INSTANTIATE_TEST_SUITE_P(Names, AwkwardNameTest, testing::ValuesIn(AwkwardNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
	                         return "name" + std::to_string(info.index);
                         });

TEST(LibFileTest, MoveBetweenRealFileSystemsKeepsAttributes)
{
	TempFolder disk;
	TempFolder memory("/dev/shm");
	struct stat a;
	struct stat b;
	if (stat(disk.Path().c_str(), &a) != 0 || stat(memory.Path().c_str(), &b) != 0 ||
	    a.st_dev == b.st_dev)
		GTEST_SKIP() << "no second file system";
	ScopedEnv root("VANTRY_ROOT", std::nullopt);
	mkdir((disk / "app").c_str(), 0755);
	MakeTypedFile(disk / "app/file", "across");
	ASSERT_TRUE(LibMove((disk / "app").c_str(), (memory / "app").c_str()));
	EXPECT_FALSE(Occupied(disk / "app"));
	ExpectTypedFile(memory / "app/file", "across");
}
