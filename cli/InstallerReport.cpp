// The reports of the installer on the product it carries.
#include "InstallerReport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "ConfigLoader.h"
#include "ConfigRecord.h"
#include "InstallItemRecord.h"
#include "InstallRegister.h"
#include "InstallTypes.h"
#include "InstallerResourceIds.h"
#include "InstallerSignature.h"
#include "JsonWriter.h"
#include "LibAppResource.h"
#include "LibBytes.h"
#include "LibPathParts.h"
#include "PayloadDigest.h"
#include "PayloadExtractor.h"
#include "UnattendedOutput.h"
#include "VantryVersion.h"

namespace {

struct Item {
	std::string name;
	int64 size = 0;
	std::vector<std::string> groups;
	std::string destination;
	std::string link;
};

std::vector<Item> ItemsOf(const BMessage& config)
{
	std::vector<Item> items;
	for (const BMessage& file : ConfigRecord(config).Items()) {
		const InstallItemRecord record(file);
		Item item;
		item.name = record.Leaf();
		item.size = record.FileSize();
		item.groups = record.GroupNames();
		item.destination = record.Destination() != nullptr ? record.Destination() : "User Selected";
		item.link = record.Link() != nullptr ? record.Link() : "None";
		items.push_back(item);
	}
	return items;
}

// "Normal;Full;" as "Normal, Full".
std::string GroupList(const std::vector<std::string>& groups)
{
	std::string list;
	for (const std::string& group : groups)
		list += (list.empty() ? "" : ", ") + group;
	return list.empty() ? "none" : list;
}

std::string Size(const int64& bytes)
{
	LibString text;
	LibBytesToString(bytes, text, 1);
	return text.String();
}

std::string ProductName(const BMessage& config)
{
	return std::string(ConfigRecord(config).AppName()) + " " + ConfigRecord(config).Version();
}

// Only a store that holds a record is asked for it: a failed load would show
// an error box, and a report has no window to show it in.
bool LoadRecord(LibAppResource& store, BMessage& config)
{
	return store.InitCheck() == B_OK &&
	       store.HasResource(B_STRING_TYPE, kConfigurationResourceId) &&
	       LoadConfiguration(config, store);
}

// Whether payload `id` matches the digest `field` of `holder` keeps (a
// record written before digests keeps none); false with `why`.
bool DigestMatches(LibAppResource& store, const long& id, const BMessage& holder, const char* field,
                   std::string& why)
{
	int64 expected = 0;
	off_t offset = 0;
	size_t size = 0;
	if (holder.FindInt64(field, &expected) != B_OK ||
	    store.GetResourceRange(B_RAW_TYPE, id, &offset, &size) != B_OK)
		return true;
	const int fd = open(store.FilePath(), O_RDONLY | O_CLOEXEC);
	uint32 digest = 0;
	const bool read = fd >= 0 && payload_digest(fd, offset, off_t(size), &digest, &why) == B_OK;
	if (fd < 0)
		why = strerror(errno);
	if (fd >= 0)
		close(fd);
	if (read && digest != uint32(expected))
		why = "its payload does not match the digest the installer was built with";
	return read && digest == uint32(expected);
}

// Unpacks payload `id` into `folder`; false with `why`.
bool UnpackPayload(LibAppResource& store, const long& id, const std::string& name,
                   const std::string& folder, std::string& why)
{
	off_t offset = 0;
	size_t size = 0;
	if (store.GetResourceRange(B_RAW_TYPE, id, &offset, &size) != B_OK) {
		why = "its payload (resource RAWT " + std::to_string(id) + ") is missing";
		return false;
	}
	const char* top = nullptr;
	store.GetResourceInfo(B_RAW_TYPE, id, &top, nullptr);
	PayloadExtractor extractor;
	if (extractor.Extract(store.FilePath(), offset, off_t(size), folder.c_str(),
	                      top != nullptr ? top : name.c_str()) != B_OK) {
		why = extractor.ErrorText();
		return false;
	}
	return true;
}

// Unpacks the payload of item `index` into `folder`; false with `why`.
bool Unpack(LibAppResource& store, const int32& index, const std::string& name,
            const std::string& folder, std::string& why)
{
	return UnpackPayload(store, kFirstPayloadId + index, name, folder, why);
}

// Checks the deinstaller every installation places; false with `why`.
bool VerifyDeinstaller(LibAppResource& store, const BMessage& config, const std::string& work,
                       std::string& why)
{
	if (!DigestMatches(store, kDeinstallerPayloadId, config, kDeinstallerDigestField, why) ||
	    !UnpackPayload(store, kDeinstallerPayloadId, "Deinstaller", work, why))
		return false;
	std::error_code error;
	std::filesystem::remove_all(work + "/Deinstaller", error);
	return true;
}

int Extract(LibAppResource& store, const BMessage& config, const std::string& folder, FILE* out,
            FILE* errors)
{
	if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
		fprintf(errors, "Installer: cannot make %s: %s\n", folder.c_str(), strerror(errno));
		return UNATTENDED_FOLDER_ERROR;
	}
	const std::vector<Item> items = ItemsOf(config);
	// Nothing of the user's is overwritten: every name must be free first.
	for (const Item& item : items) {
		const std::string path = folder + "/" + item.name;
		if (LibEntryExists(path)) {
			fprintf(errors, "Installer: %s already exists: extract into an empty folder\n",
			        path.c_str());
			return UNATTENDED_FOLDER_ERROR;
		}
	}
	for (size_t i = 0; i < items.size(); i++) {
		std::string why;
		if (!Unpack(store, int32(i), items[i].name, folder, why)) {
			fprintf(errors, "Installer: cannot extract %s into %s: %s\n", items[i].name.c_str(),
			        folder.c_str(), why.c_str());
			return UNATTENDED_DAMAGED;
		}
		fprintf(out, "extracted: %s/%s\n", folder.c_str(), items[i].name.c_str());
	}
	return UNATTENDED_COMPLETED;
}

// The running installer's key when it is signed, else null.
void WritePublisher(JsonWriter& json)
{
	const InstallerSignature* signature = RunningInstallerSignature();
	json.Key("publisher_key");
	if (signature != nullptr && signature->GetState() == InstallerSignature::kGood)
		json.String(signature->KeyId());
	else
		json.Null();
}

void WriteProduct(JsonWriter& json, const BMessage& config)
{
	json.Field("product", ConfigRecord(config).AppName());
	json.Field("version", ConfigRecord(config).Version());
}

// Checks every payload; with `json` the answer is its document, the
// failures still told on `errors`.
int Verify(LibAppResource& store, const BMessage& config, FILE* out, FILE* errors,
           const bool& asJson)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("kind", "verify");
	WriteProduct(json, config);
	WritePublisher(json);
	FILE* const text = asJson ? nullptr : out;
	const char* temp = getenv("TMPDIR");
	std::string work = std::string(temp != nullptr && temp[0] == '/' ? temp : "/tmp") +
	                   "/vantry-verify-XXXXXX";
	if (mkdtemp(work.data()) == nullptr) {
		fprintf(errors, "Installer: cannot make a folder to verify in (%s): %s\n", work.c_str(),
		        strerror(errno));
		return UNATTENDED_FOLDER_ERROR;
	}
	const std::string signature = RunningSignatureSummary(ConfigRecord(config).Company());
	json.Field("signature", signature);
	if (!signature.empty() && text != nullptr)
		fprintf(text, "%s\n", signature.c_str());
	const std::vector<Item> items = ItemsOf(config);
	int code = UNATTENDED_COMPLETED;
	std::string damage;
	json.Key("items").BeginArray();
	if (ConfigRecord(config).IncludeDeinstall() &&
	    !VerifyDeinstaller(store, config, work, damage)) {
		fprintf(errors, "Installer: %s: the deinstaller is damaged: %s\n", store.FilePath(),
		        damage.c_str());
		json.BeginObject().Field("name", "Deinstaller").Field("whole", false);
		json.Field("error", damage).EndObject();
		code = UNATTENDED_DAMAGED;
	}
	const std::vector<BMessage> records = ConfigRecord(config).Items();
	for (size_t i = 0; i < items.size() && code == UNATTENDED_COMPLETED; i++) {
		std::string why;
		json.BeginObject().Field("name", items[i].name);
		if (DigestMatches(store, int32(kFirstPayloadId + i), records[i], kPayloadDigestField,
		                  why) &&
		    Unpack(store, int32(i), items[i].name, work, why)) {
			if (text != nullptr)
				fprintf(text, "verified: %s\n", items[i].name.c_str());
			json.Field("whole", true);
		} else {
			fprintf(errors, "Installer: %s: the item \"%s\" is damaged: %s\n", store.FilePath(),
			        items[i].name.c_str(), why.c_str());
			json.Field("whole", false).Field("error", why);
			code = UNATTENDED_DAMAGED;
		}
		json.EndObject();
		std::error_code error;
		std::filesystem::remove_all(work + "/" + items[i].name, error);
	}
	std::error_code error;
	std::filesystem::remove_all(work, error);
	json.EndArray().Field("whole", code == UNATTENDED_COMPLETED).Field("exit_code", code);
	json.EndObject();
	if (asJson)
		fprintf(out, "%s\n", json.Text().c_str());
	else if (code == UNATTENDED_COMPLETED)
		fprintf(out, "%s: %zu items are whole\n", ProductName(config).c_str(), items.size());
	return code;
}

} // namespace

std::string ProductHelp(const BMessage& config)
{
	std::string text = "\nThis installer carries " + ProductName(config) + ".\n";
	const auto types = InstallTypesOf(config);
	if (!types.empty()) {
		text += "Install types (--type):\n";
		for (const InstallType& type : types)
			text += "  " + type.name + (type.description.empty() ? "" : "  " + type.description) +
			        "\n";
	}
	text += "Items (--items):\n";
	for (const Item& item : ItemsOf(config))
		text += "  " + item.name + "  " + Size(item.size) + "\n";
	return text;
}

std::string ProductListingJson(const BMessage& config)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("kind", "list");
	WriteProduct(json, config);
	WritePublisher(json);
	json.Field("installation_folder", ConfigRecord(config).CreatedFolder());
	json.Key("install_types").BeginArray();
	for (const InstallType& type : InstallTypesOf(config))
		json.BeginObject()
		        .Field("name", type.name)
		        .Field("description", type.description)
		        .EndObject();
	json.EndArray().Key("items").BeginArray();
	for (const Item& item : ItemsOf(config)) {
		json.BeginObject().Field("name", item.name).Field("size", item.size);
		json.Key("install_types").BeginArray();
		for (const std::string& group : item.groups)
			json.String(group);
		json.EndArray();
		json.Field("destination", item.destination).Field("link", item.link).EndObject();
	}
	json.EndArray().Field("exit_code", int(UNATTENDED_COMPLETED)).EndObject();
	return json.Text() + "\n";
}

std::string ProductListing(const BMessage& config)
{
	std::string text = "product: " + ProductName(config) + "\n";
	std::string types;
	for (const InstallType& type : InstallTypesOf(config))
		types += (types.empty() ? "" : ", ") + type.name;
	text += "install types: " + (types.empty() ? std::string("none") : types) + "\n";
	text += std::string("installation folder: ") + ConfigRecord(config).CreatedFolder() + "\n";
	for (const Item& item : ItemsOf(config)) {
		text += "item: " + item.name + "\n";
		text += "  size: " + Size(item.size) + "\n";
		text += "  install types: " + GroupList(item.groups) + "\n";
		text += "  destination: " + item.destination + "\n";
		text += "  link: " + item.link + "\n";
	}
	return text;
}

namespace {

// The installations of the product the register knows, each checked.
// The register's installations of the product as one document.
std::string InstalledJson(const BMessage& config,
                          const std::vector<InstallRegister::Installation>& found)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("kind", "installed");
	WriteProduct(json, config);
	json.Field("register", InstallRegister::Folder()).Key("installations").BeginArray();
	for (const InstallRegister::Installation& one : found) {
		json.BeginObject()
		        .Field("version", one.version)
		        .Field("folder", one.folder)
		        .Field("date", one.date);
		if (one.publisherKeyId.empty())
			json.Key("publisher_key").Null();
		else
			json.Field("publisher_key", one.publisherKeyId);
		json.Field("stale", one.stale).EndObject();
	}
	json.EndArray().Field("exit_code", int(UNATTENDED_COMPLETED)).EndObject();
	return json.Text() + "\n";
}

int Installed(const BMessage& config, FILE* out, const bool& asJson)
{
	const std::string name = ConfigRecord(config).AppName();
	const std::vector<InstallRegister::Installation> found = InstallRegister::List(name);
	if (asJson) {
		fputs(InstalledJson(config, found).c_str(), out);
		return UNATTENDED_COMPLETED;
	}
	if (found.empty())
		fprintf(out, "%s: no installation registered in %s\n", name.c_str(),
		        InstallRegister::Folder().c_str());
	for (const InstallRegister::Installation& one : found) {
		fprintf(out, "%s %s\t%s\t%s\t%s%s\n", one.appName.c_str(), one.version.c_str(),
		        one.folder.c_str(), one.date.c_str(),
		        one.publisherKeyId.empty() ? "unsigned" : ("key " + one.publisherKeyId).c_str(),
		        one.stale ? "\tstale: the folder no longer holds this installation" : "");
	}
	return UNATTENDED_COMPLETED;
}

} // namespace

int RunInstallerReport(const UnattendedOptions& options, FILE* out, FILE* errors)
{
	if (options.version) {
		fprintf(out, VANTRY_VERSION_LINE("Installer"), vantry_version());
		return UNATTENDED_COMPLETED;
	}
	LibAppResource store(B_READ_ONLY);
	BMessage config;
	if (options.help) {
		fputs(UnattendedUsage(), out);
		// A bare stub has no product to describe; its help stays general.
		if (LoadRecord(store, config))
			fputs(ProductHelp(config).c_str(), out);
		return UNATTENDED_COMPLETED;
	}
	if (!LoadRecord(store, config)) {
		fprintf(errors, "Installer: %s carries no readable product (resource CSTR %d)\n",
		        store.FilePath()[0] != '\0' ? store.FilePath() : "this program",
		        int(kConfigurationResourceId));
		return UNATTENDED_DAMAGED;
	}
	if (options.list) {
		fputs((options.json ? ProductListingJson(config) : ProductListing(config)).c_str(), out);
		return UNATTENDED_COMPLETED;
	}
	if (!options.extract.empty())
		return Extract(store, config, options.extract, out, errors);
	if (options.installed)
		return Installed(config, out, options.json);
	return Verify(store, config, out, errors, options.json);
}
