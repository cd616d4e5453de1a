// Files dropped from a file manager: the uri-list read into local paths, and
// the drop message a view receives for them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "DropMessage.h"
#include "InterfaceTestSupport.h"
#include "Messenger.h"

namespace {

TEST(DropMessageTest, UriListsGiveTheirLocalFilesOnly)
{
	struct Case {
		const char* name;
		std::string list;
		std::vector<std::string> paths;
	} cases[] = {
	        {"plain", "file:///tmp/a.png", {"/tmp/a.png"}},
	        {"escaped spaces", "file:///tmp/My%20Pictures/a%20b.png", {"/tmp/My Pictures/a b.png"}},
	        {"escaped UTF-8 and case of hex",
	         "file:///tmp/%C3%a9t%C3%A9.png",
	         {"/tmp/\xC3\xA9t\xC3\xA9.png"}},
	        {"several files, CRLF between and after",
	         "file:///tmp/one.png\r\nfile:///tmp/two.png\r\n",
	         {"/tmp/one.png", "/tmp/two.png"}},
	        {"LF only, no trailing newline", "file:///a\nfile:///b", {"/a", "/b"}},
	        {"localhost and this machine's name",
	         "file://localhost/x\r\nfile://here/y",
	         {"/x", "/y"}},
	        {"non-file URIs are left out",
	         "http://example.com/a.png\r\nfile:///tmp/kept.png\r\nsmb://srv/share/b.png\r\n",
	         {"/tmp/kept.png"}},
	        {"another host is not this file system",
	         "file://host/..\r\nfile://evil/etc/passwd",
	         {}},
	        {"comments and blank lines", "# from the file manager\r\n\r\nfile:///c\r\n", {"/c"}},
	        {"dot segments are resolved", "file:///tmp/x/../../etc/./y.png", {"/etc/y.png"}},
	        {"an escaped slash is still a slash", "file:///tmp%2Fz.png", {"/tmp/z.png"}},
	        {"broken escapes and NUL are refused",
	         "file:///tmp/a%2\r\nfile:///tmp/a%zz\r\nfile:///tmp/a%00b\r\nfile:///ok%25",
	         {"/ok%"}},
	        {"a relative or empty path is refused", "file:relative.png\r\nfile://\r\nfile:", {}},
	        {"query and fragment are not the name", "file:///tmp/q.png?x=1#frag", {"/tmp/q.png"}},
	        {"scheme in capitals", "FILE:///tmp/C.PNG", {"/tmp/C.PNG"}},
	        {"empty", "", {}},
	};
	for (const Case& c : cases)
		EXPECT_EQ(file_paths_from_uri_list(c.list, "here"), c.paths) << c.name;
}

TEST(DropMessageTest, ADropReachesItsViewAsRefsMarkedDropped)
{
	const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) /
	                                     ("drop-" + std::to_string(getpid())) / "My Pictures";
	std::filesystem::create_directories(folder);
	std::ofstream(folder / "one.png") << "x";
	std::ofstream(folder / "two.png") << "y";
	const std::string list = "file://" + folder.parent_path().string() +
	                         "/My%20Pictures/one.png\r\nhttp://x/y\r\nfile://" +
	                         folder.parent_path().string() + "/My%20Pictures/two.png\r\n";

	BMessage untouched('keep');
	EXPECT_FALSE(make_drop_message("http://x/y\r\nfile://host/..", BPoint(1, 2), &untouched));
	EXPECT_EQ(untouched.what, uint32('keep'));
	EXPECT_FALSE(make_drop_message("file:///no/such/folder/a.png", BPoint(1, 2), &untouched));

	BMessage drop;
	ASSERT_TRUE(make_drop_message(list, BPoint(40, 50), &drop));
	auto* window = new RecordingWindow();
	window->Show();
	BMessenger(window).SendMessage(&drop);
	BMessage got;
	ASSERT_TRUE(window->WaitFor(B_SIMPLE_DATA, &got));
	EXPECT_TRUE(got.WasDropped());
	EXPECT_EQ(got.DropPoint(), BPoint(40, 50));
	entry_ref first, second, none;
	ASSERT_EQ(got.FindRef("refs", 0, &first), B_OK);
	ASSERT_EQ(got.FindRef("refs", 1, &second), B_OK);
	EXPECT_NE(got.FindRef("refs", 2, &none), B_OK);
	EXPECT_STREQ(first.name, "one.png");
	EXPECT_STREQ(second.name, "two.png");
	EXPECT_EQ(first.directory_path, folder.string());

	// Sent on by whoever received it, it is a plain message again.
	window->Forget();
	BMessenger(window).SendMessage(&got);
	BMessage again;
	ASSERT_TRUE(window->WaitFor(B_SIMPLE_DATA, &again));
	EXPECT_FALSE(again.WasDropped());
	close_window(window);
	std::filesystem::remove_all(folder.parent_path());
}

} // namespace
