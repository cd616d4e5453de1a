// oLocalize: the user-interface strings of an executable in the language
// remembered on its file.
#pragma once

#include "LibString.h"
#include "oResources.h"

// The languages in the order of the language menu.
#define LOCALIZE_LANGUAGE_COUNT 9

class oLocalize : public oResources {
public:
	// Attaches read-only to the running executable and reads its language.
	oLocalize();
	// Host addition: the strings and language of the executable at `path`.
	explicit oLocalize(const char* path);
	virtual ~oLocalize();

	// Reads the remembered language; a file without one speaks "en" from now on.
	void ObtainLanguage();
	// Makes `code` current and remembers it; a failed write is not reported.
	void SetLanguage(const char* code);
	// String `id` in the current language; empty when the language lacks it.
	LibString GetString(const long& id);
	using oResources::GetString;

	// Host additions.
	const char* Language() const { return fLanguage.String(); }
	// The code of a language menu row; "en" for a row outside the table.
	static const char* LanguageCode(const int32& row);
	// The row of a code, or -1 when the table has no such language.
	static int32 LanguageRow(const char* code);
	// The language the user's locale names: the first of LC_ALL, LC_MESSAGES
	// and LANG whose language part ("fr" of "fr_FR.UTF-8") is one of the nine;
	// null when none is.
	static const char* EnvironmentLanguage();
	// The language remembered on the executable at `path`: its "language"
	// attribute, or the file "<path>.language" where the file system keeps no
	// attributes. B_ENTRY_NOT_FOUND when none is remembered.
	static status_t ReadLanguage(const char* path, LibString& code);
	// Remembers `code` on the executable at `path` the same way; the engine
	// uses it for the deinstaller it creates.
	static status_t WriteLanguage(const char* path, const char* code);

private:
	LibString fLanguage;
};
