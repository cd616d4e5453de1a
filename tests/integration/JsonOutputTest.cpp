// Every --json answer of the installer and the deinstaller parses, whole,
// and carries its schema version, even when the paths it names are not
// UTF-8 and hold quotes: one document for a report or a plan, one object a
// line for a run.
#include "InstallTestSupport.h"
#include "JsonCheck.h"

using namespace install_test;

namespace {

struct JsonCase {
	const char* name;
	// The program: the installer, or the installation's deinstaller.
	bool deinstaller;
	std::vector<std::string> arguments;
	// One document; else one object a line.
	bool document;
	int code;
	// The document's "kind", or the last line's "event".
	const char* last;
};

TEST(JsonOutputTest, EveryOutputParsesAndCarriesItsSchema)
{
	InstallWorld world;
	const std::string installer =
	        world.Build("jsonproduct", ProductHead("Jsoned") + R"(
[[custom_folder]]
custom_folder_name = "Docs"
custom_root_dir = "User"
custom_sub_dir = "docs \u00e9"
custom_replace_existing = false

[[install_file]]
file_name = "files/app"

[[install_file]]
file_name = "files/docs"
install_meta = { destination = "Docs", destination_exists = "Prompt" }
)",
	                    {{"files/app", "app"}, {"files/docs/a \"b\".txt", "doc"}});
	// A destination no text encoding agrees on, with a quote and a backslash.
	const std::string destination = world.Home() + "/dest \xff \"q\" \\";
	fs::create_directories(destination);
	const std::string folder = destination + "/Jsoned";
	const std::vector<std::string> run = {"--dest", destination, "--items", "app,docs"};
	auto with = [&](std::vector<std::string> head) {
		head.insert(head.end(), run.begin(), run.end());
		head.push_back("--json");
		return head;
	};
	// In order: the removal needs the installation before it.
	const std::vector<JsonCase> cases = {
	        {"List", false, {"--list", "--json"}, true, 0, "\"list\""},
	        {"Verify", false, {"--verify", "--json"}, true, 0, "\"verify\""},
	        {"PlanBadLanguage", false, with({"--plan", "--lang", "xx"}), true, 2, "\"plan\""},
	        {"PlanFresh", false, with({"--plan"}), true, 0, "\"plan\""},
	        {"Install", false, with({"--unattended"}), false, 0, "\"outcome\""},
	        {"PlanUnanswered", false, with({"--plan"}), true, 6, "\"plan\""},
	        {"InstallUnanswered", false, with({"--unattended"}), false, 6, "\"outcome\""},
	        {"Installed", false, {"--installed", "--json"}, true, 0, "\"installed\""},
	        {"DeinstallList",
	         true,
	         {"--unattended", "--list", "--json"},
	         true,
	         0,
	         "\"deinstall-list\""},
	        {"Deinstall", true, {"--unattended", "--json"}, false, 0, "\"outcome\""},
	};
	// Once installed, the documents are in the way of the next installation,
	// which asks about them and has no answer.
	for (const JsonCase& test : cases) {
		SCOPED_TRACE(test.name);
		std::vector<std::string> command = {test.deinstaller ? folder + "/Jsoned 1.0 Deinstaller"
		                                                     : installer};
		command.insert(command.end(), test.arguments.begin(), test.arguments.end());
		const RunResult result = world.Run(command);
		EXPECT_EQ(result.code, test.code) << result.output << result.errors;
		std::vector<std::string> texts = Lines(result.output);
		if (test.document) {
			EXPECT_EQ(texts.size(), 1u) << result.output;
			texts = {result.output};
		}
		ASSERT_FALSE(texts.empty());
		std::map<std::string, std::string> members;
		for (const std::string& text : texts) {
			const auto parsed = JsonCheck(text).Members();
			ASSERT_TRUE(parsed.has_value()) << text;
			EXPECT_EQ(parsed->count("schema") ? parsed->at("schema") : "", "1") << text;
			members = *parsed;
		}
		EXPECT_EQ(members[test.document ? "kind" : "event"], test.last) << texts.back();
		EXPECT_EQ(members["exit_code"], std::to_string(test.code)) << texts.back();
		if (members.count("result") > 0)
			EXPECT_NE(members["result"].find("(" + std::to_string(test.code) + ")\""),
			          std::string::npos)
			        << texts.back();
		// A run names the installation folder by its path, the list by its name;
		// a usage mistake ends before a folder is chosen.
		if (members.count("installation_folder") > 0 && test.name != std::string("List") &&
		    test.code != 2)
			EXPECT_EQ(members["installation_folder"],
			          "\"" + world.Home() + "/dest \\ufffd \\\"q\\\" \\\\/Jsoned\"");
	}
}

} // namespace
