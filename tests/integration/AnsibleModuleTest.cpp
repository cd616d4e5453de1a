// The Ansible module run by ansible-playbook against this machine, inside a
// test world: it installs once, then reports nothing to change; check mode
// changes nothing; "latest" upgrades to a newer installer; "absent" removes.
#include <regex>

#include "InstallTestSupport.h"

using namespace install_test;

namespace {

// The program's path in PATH, or nothing.
std::string FindProgram(const std::string& name)
{
	const char* path = getenv("PATH");
	std::stringstream folders(path != nullptr ? path : "");
	for (std::string folder; std::getline(folders, folder, ':');) {
		const std::string candidate = folder + "/" + name;
		if (access(candidate.c_str(), X_OK) == 0)
			return candidate;
	}
	return std::string();
}

const char kPlaybook[] = R"(- hosts: localhost
  gather_facts: false
  tasks:
    - name: the product is in the state asked for
      vantry_installer:
        src: "{{ src }}"
        dest: "{{ dest }}"
        items: [app]
        state: "{{ state }}"
      register: installed
    - name: what the module answered
      debug:
        msg: "version={{ installed.installed_version }}"
)";

struct Step {
	const char* name;
	int version; // of the installer the step runs
	const char* state;
	bool check;
	int changed; // the recap's count
	// The version installed afterwards; 0 for none.
	int installedAfter;
};

TEST(AnsibleModuleTest, ReachesTheStateAskedForAndOnlyOnce)
{
	const std::string playbook = FindProgram("ansible-playbook");
	if (playbook.empty())
		GTEST_SKIP() << "ansible-playbook is not installed (scripts/install-deps installs "
		                "ansible-core)";
	InstallWorld world;
	std::map<int, std::string> installers;
	for (const int version : {1, 2})
		installers[version] = world.Build("fleet" + std::to_string(version),
		                                  ProductHead("Fleet", std::to_string(version) + ".0") +
		                                          "[[install_file]]\nfile_name = \"files/app\"\n",
		                                  {{"files/app", "app " + std::to_string(version)}});
	WriteFile(world.Temp() + "/playbook.yml", kPlaybook);
	// Ansible's own files stay out of the tree the test watches.
	world.SetEnv("ANSIBLE_LIBRARY", std::string(VANTRY_SOURCE_DIR) + "/contrib/ansible/library");
	world.SetEnv("ANSIBLE_LOCAL_TEMP", world.Boot() + "/var/tmp/ansible-local");
	world.SetEnv("ANSIBLE_REMOTE_TEMP", world.Boot() + "/var/tmp/ansible-remote");
	world.SetEnv("ANSIBLE_HOME", world.Boot() + "/var/tmp/ansible-home");
	world.SetEnv("ANSIBLE_NOCOLOR", "1");
	world.SetEnv("ANSIBLE_RETRY_FILES_ENABLED", "0");
	const std::string folder = world.Apps() + "/Fleet";

	const Step steps[] = {
	        {"CheckBeforeInstalling", 1, "present", true, 1, 0},
	        {"Install", 1, "present", false, 1, 1},
	        {"InstallAgain", 1, "present", false, 0, 1},
	        {"NewerWhenPresentIsEnough", 2, "present", false, 0, 1},
	        {"CheckUpgrade", 2, "latest", true, 1, 1},
	        {"Upgrade", 2, "latest", false, 1, 2},
	        {"UpgradeAgain", 2, "latest", false, 0, 2},
	        {"OlderIsNoUpgrade", 1, "latest", false, 0, 2},
	        {"CheckRemoval", 2, "absent", true, 1, 2},
	        {"Remove", 2, "absent", false, 1, 0},
	        {"RemoveAgain", 2, "absent", false, 0, 0},
	};
	for (const Step& step : steps) {
		SCOPED_TRACE(step.name);
		std::vector<std::string> command = {
		        playbook,     "-i",
		        "localhost,", "-c",
		        "local",      world.Temp() + "/playbook.yml",
		        "-e",         "ansible_python_interpreter=/usr/bin/python3",
		        "-e",         "src=" + installers[step.version],
		        "-e",         "dest=" + world.Apps(),
		        "-e",         std::string("state=") + step.state};
		if (step.check)
			command.push_back("--check");
		const auto before = TreeState(world.Temp());
		const RunResult run = world.Run(command);
		ASSERT_EQ(run.code, 0) << run.output << run.errors;
		std::smatch recap;
		const std::regex counts("localhost\\s+: ok=\\d+\\s+changed=(\\d+)\\s.*failed=(\\d+)");
		ASSERT_TRUE(std::regex_search(run.output, recap, counts)) << run.output;
		EXPECT_EQ(recap[1].str(), std::to_string(step.changed)) << run.output;
		EXPECT_EQ(recap[2].str(), "0") << run.output;
		if (step.check || step.changed == 0)
			EXPECT_EQ(Changes(before, TreeState(world.Temp())), "") << run.output;
		if (step.installedAfter == 0) {
			EXPECT_FALSE(Exists(folder + "/app")) << run.output;
		} else {
			EXPECT_EQ(ReadFile(folder + "/app"), "app " + std::to_string(step.installedAfter));
			EXPECT_TRUE(Exists(folder + "/Fleet " + std::to_string(step.installedAfter) +
			                   ".0 Deinstaller"));
		}
		if (!step.check && step.installedAfter != 0)
			EXPECT_NE(run.output.find("version=" + std::to_string(step.installedAfter) + ".0"),
			          std::string::npos)
			        << run.output;
		// A file of the user's own in the installation survives the upgrade.
		if (std::string(step.name) == "Install")
			WriteFile(folder + "/notes.txt", "mine");
		if (std::string(step.name) == "Upgrade")
			EXPECT_EQ(ReadFile(folder + "/notes.txt"), "mine");
	}
}

} // namespace
