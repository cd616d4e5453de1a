// BArchivable: the class name of an archived object.
#include "Archivable.h"

#include <cxxabi.h>

#include <cstdlib>
#include <string>
#include <typeinfo>

#include "Message.h"

namespace {

const char kClassField[] = "class";

std::string demangled_name(const std::type_info& type)
{
	int status = 0;
	char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
	std::string result = (status == 0 && name != nullptr) ? name : type.name();
	free(name);
	// Archives name the class alone, without the namespaces around it.
	size_t colon = result.rfind("::");
	return colon == std::string::npos ? result : result.substr(colon + 2);
}

} // namespace

BArchivable::BArchivable() {}

BArchivable::BArchivable(BMessage* from) {}

BArchivable::~BArchivable() {}

status_t BArchivable::Archive(BMessage* into, bool deep) const
{
	if (into == nullptr)
		return B_BAD_VALUE;
	return into->AddString(kClassField, demangled_name(typeid(*this)).c_str());
}

BArchivable* BArchivable::Instantiate(BMessage* from)
{
	return nullptr;
}

bool validate_instantiation(BMessage* from, const char* className)
{
	if (from == nullptr || className == nullptr)
		return false;
	const char* name = nullptr;
	for (int32 i = 0; from->FindString(kClassField, i, &name) == B_OK; i++) {
		if (std::string(name) == className)
			return true;
	}
	return false;
}
