// DescriptionReader: typed reads of the fields of a TOML product description;
// every mistake is collected as "FILE:LINE: field `x`: message".
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "TomlParser.h"

#include "Product.h"

class DescriptionReader {
public:
	DescriptionReader(const std::string& file, const std::string& baseDirectory,
	                  std::vector<std::string>& errors);

	void Error(const FieldOrigin& origin, const std::string& message);
	FieldOrigin Origin(const toml::node& node, const std::string& field) const;
	FieldOrigin KeyOrigin(const toml::key& key, const std::string& field) const;
	static std::string Join(const std::string& prefix, const std::string& key);
	// A path of the description, made absolute against the description's folder.
	std::string Resolve(const std::string& path) const;

	// Reports every key of `table` that `known` does not hold.
	void CheckKnown(const toml::table& table, const std::string& prefix,
	                std::initializer_list<const char*> known);
	// Reports a field that the tool computes itself when the author gives it.
	void RejectComputed(const toml::table& table, const std::string& prefix, const char* key,
	                    const char* why);

	// Each reads `key` of `table` when present: true when `out` was set, false
	// when the field is absent or wrong (a wrong one is reported).
	bool ReadString(const toml::table& table, const std::string& prefix, const char* key,
	                std::string& out);
	// A string, or a table { file = "PATH" } whose file holds the text.
	bool ReadText(const toml::table& table, const std::string& prefix, const char* key,
	              std::string& out);
	bool ReadBool(const toml::table& table, const std::string& prefix, const char* key, bool& out);
	bool ReadInt32(const toml::table& table, const std::string& prefix, const char* key, int32& out,
	               int64 minimum, int64 maximum);
	// A path that must name an existing entry; `origin` records where it was given.
	bool ReadPath(const toml::table& table, const std::string& prefix, const char* key,
	              std::string& out, FieldOrigin& origin);
	// An array of strings, or one string of names each followed by `separator`.
	bool ReadNames(const toml::table& table, const std::string& prefix, const char* key,
	               std::vector<std::string>& out, FieldOrigin& origin, char separator);
	// A standard folder name, or the number of one.
	bool ReadFolderCode(const toml::table& table, const std::string& prefix, const char* key,
	                    int32& out);
	// A number of bytes, or a text such as "10 MB".
	bool ReadDiskAmount(const toml::table& table, const std::string& prefix, const char* key,
	                    DiskAmount& out);
	// False, with the error reported, for an amount no disk can hold.
	bool FitsOnADisk(const FieldOrigin& origin, const double& bytes);
	// A number of megabytes, or a text such as "64 MB" (rounded up to whole megabytes).
	bool ReadMegabytes(const toml::table& table, const std::string& prefix, const char* key,
	                   int32& out);
	// true/false, or the record's own "True"/"False", stored as "True" or "False".
	bool ReadTrueFalse(const toml::table& table, const std::string& prefix, const char* key,
	                   std::string& out);
	// A string that must be one of `choices`.
	bool ReadChoice(const toml::table& table, const std::string& prefix, const char* key,
	                std::string& out, std::initializer_list<const char*> choices);
	const toml::table* ReadTable(const toml::table& table, const std::string& prefix,
	                             const char* key);
	// An array of tables ([[key]] in TOML).
	const toml::array* ReadTableArray(const toml::table& table, const std::string& prefix,
	                                  const char* key);

	const std::string& File() const { return fFile; }

private:
	void WrongType(const toml::node& node, const std::string& field, const std::string& expected);
	// The node at `key` when it is a T (toml::table, toml::array, or the
	// type of a value); a node of another type is reported as not `expected`.
	template <typename T>
	const auto* Typed(const toml::table& table, const std::string& prefix, const char* key,
	                  const std::string& expected)
	{
		const toml::node* node = table.get(key);
		if (node != nullptr && node->as<T>() == nullptr) {
			WrongType(*node, Join(prefix, key), expected);
			return decltype(node->as<T>())(nullptr);
		}
		return node != nullptr ? node->as<T>() : nullptr;
	}
	bool ReadTextFile(const toml::table& table, const std::string& field, std::string& out);
	// A field written as an integer or as a text: each goes to its reader
	// with where it stands; anything else is reported as not `expected`.
	template <typename OnInteger, typename OnText>
	bool ReadIntegerOrText(const toml::table& table, const std::string& prefix, const char* key,
	                       const std::string& expected, OnInteger onInteger, OnText onText)
	{
		const toml::node* node = table.get(key);
		if (node == nullptr)
			return false;
		const std::string field = Join(prefix, key);
		if (node->is_integer())
			return onInteger(node->as_integer()->get(), Origin(*node, field));
		if (node->is_string())
			return onText(node->as_string()->get(), Origin(*node, field));
		WrongType(*node, field, expected);
		return false;
	}

	std::string fFile;
	std::string fBaseDirectory;
	std::vector<std::string>& fErrors;
};
