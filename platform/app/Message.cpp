// BMessage: fields and their items (add, find, replace, remove, info).
#include "Message.h"

#include <cctype>
#include <cstring>

#include "ByteOrder.h"
#include "MessageDelivery.h"
#include "MessageField.h"
#include "MessagePrinter.h"

namespace {

bool type_matches(type_code wanted, type_code actual)
{
	return wanted == B_ANY_TYPE || wanted == actual;
}

// The flattened form of a reference: device, folder inode, leaf name and NUL.
std::string flatten_ref(const entry_ref& ref)
{
	std::string bytes(12, '\0');
	write_u32le(bytes.data(), uint32(ref.device));
	write_u64le(bytes.data() + 4, uint64(ref.directory));
	if (ref.name != nullptr)
		bytes += ref.name;
	bytes.push_back('\0');
	return bytes;
}

} // namespace

const std::string& BMessage::Item::Bytes() const
{
	if (message && data.empty()) {
		ssize_t size = message->FlattenedSize();
		data.resize(size_t(size));
		if (message->Flatten(data.data(), size) != B_OK)
			data.clear();
	}
	return data;
}

BMessage::BMessage() : what(0) {}

BMessage::BMessage(uint32 command) : what(command) {}

BMessage::BMessage(const BMessage& other) : what(0)
{
	*this = other;
}

BMessage& BMessage::operator=(const BMessage& other)
{
	if (this == &other)
		return *this;
	what = other.what;
	fFields.clear();
	fFields.reserve(other.fFields.size());
	for (const auto& field : other.fFields)
		fFields.push_back(std::make_unique<Field>(*field));
	fDelivery.reset();
	if (other.fDelivery)
		fDelivery = std::make_unique<DeliveryInfo>(*other.fDelivery);
	return *this;
}

BMessage::~BMessage() = default;

void BMessage::SetDelivery(std::unique_ptr<DeliveryInfo> info)
{
	fDelivery = std::move(info);
}

// --- Field lookup ---

BMessage::Field* BMessage::FindField(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (const auto& field : fFields) {
		if (field->name == name)
			return field.get();
	}
	return nullptr;
}

BMessage::Field* BMessage::FindField(const char* name, type_code type, status_t* error) const
{
	if (name == nullptr) {
		*error = B_BAD_VALUE;
		return nullptr;
	}
	Field* field = FindField(name);
	if (field == nullptr) {
		*error = B_NAME_NOT_FOUND;
		return nullptr;
	}
	if (!type_matches(type, field->type)) {
		*error = B_BAD_TYPE;
		return nullptr;
	}
	*error = B_OK;
	return field;
}

status_t BMessage::FindItem(const char* name, type_code type, int32 index, const Item** item) const
{
	status_t error;
	Field* field = FindField(name, type, &error);
	if (field == nullptr)
		return error;
	if (index < 0 || size_t(index) >= field->items.size())
		return B_BAD_INDEX;
	*item = &field->items[size_t(index)];
	return B_OK;
}

status_t BMessage::FindFixed(const char* name, type_code type, int32 index, void* out,
                             size_t size) const
{
	const Item* item;
	status_t status = FindItem(name, type, index, &item);
	if (status != B_OK)
		return status;
	if (item->data.size() != size)
		return B_BAD_DATA;
	std::memcpy(out, item->data.data(), size);
	return B_OK;
}

// --- Information ---

status_t BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
                           type_code* typeFound, int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;
	int32 matching = 0;
	for (const auto& field : fFields) {
		if (!type_matches(typeRequested, field->type))
			continue;
		if (matching++ != index)
			continue;
		if (nameFound != nullptr)
			*nameFound = const_cast<char*>(field->name.c_str());
		if (typeFound != nullptr)
			*typeFound = field->type;
		if (countFound != nullptr)
			*countFound = int32(field->items.size());
		return B_OK;
	}
	return matching == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	status_t error;
	Field* field = FindField(name, B_ANY_TYPE, &error);
	if (field == nullptr)
		return error;
	if (typeFound != nullptr)
		*typeFound = field->type;
	if (countFound != nullptr)
		*countFound = int32(field->items.size());
	return B_OK;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
	status_t error;
	Field* field = FindField(name, B_ANY_TYPE, &error);
	if (field == nullptr)
		return error;
	if (typeFound != nullptr)
		*typeFound = field->type;
	if (fixedSize != nullptr)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32 BMessage::CountNames(type_code type) const
{
	int32 count = 0;
	for (const auto& field : fFields) {
		if (type_matches(type, field->type))
			count++;
	}
	return count;
}

bool BMessage::IsEmpty() const
{
	return fFields.empty();
}

// System messages have codes of the form '_ABC'.
bool BMessage::IsSystem() const
{
	char a = char(what >> 24);
	char b = char(what >> 16);
	char c = char(what >> 8);
	char d = char(what);
	return a == '_' && std::isupper((unsigned char)b) && std::isupper((unsigned char)c) &&
	       std::isupper((unsigned char)d);
}

bool BMessage::IsReply() const
{
	return fDelivery && fDelivery->isReply;
}

void BMessage::PrintToStream() const
{
	print_message(*this, stderr, 0);
}

status_t BMessage::Rename(const char* oldEntry, const char* newEntry)
{
	if (oldEntry == nullptr || newEntry == nullptr)
		return B_BAD_VALUE;
	if (std::strlen(newEntry) > kMaxFieldNameLength)
		return B_BAD_VALUE;
	Field* field = FindField(oldEntry);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (field->name == newEntry)
		return B_OK;
	if (FindField(newEntry) != nullptr)
		return B_NAME_IN_USE;
	field->name = newEntry;
	return B_OK;
}

// --- Delivery state that needs no messenger ---

bool BMessage::WasDelivered() const
{
	return fDelivery && fDelivery->delivered;
}

bool BMessage::IsSourceWaiting() const
{
	if (!fDelivery || !fDelivery->replySlot)
		return false;
	std::lock_guard<std::mutex> lock(fDelivery->replySlot->lock);
	return !fDelivery->replySlot->done;
}

bool BMessage::IsSourceRemote() const
{
	return false;
}

const BMessage* BMessage::Previous() const
{
	return fDelivery ? fDelivery->previous.get() : nullptr;
}

bool BMessage::WasDropped() const
{
	return fDelivery && fDelivery->dropped;
}

BPoint BMessage::DropPoint(BPoint* offset) const
{
	if (!WasDropped()) {
		if (offset != nullptr)
			*offset = BPoint();
		return BPoint();
	}
	if (offset != nullptr)
		*offset = fDelivery->dropOffset;
	return fDelivery->dropPoint;
}

// --- Adding ---

status_t BMessage::AddItem(const char* name, type_code type, bool fixedSize, Item&& item)
{
	if (name == nullptr || std::strlen(name) > kMaxFieldNameLength)
		return B_BAD_VALUE;
	Field* field = FindField(name);
	if (field == nullptr) {
		if (fixedSize && item.Size() == 0)
			return B_BAD_VALUE;
		auto added = std::make_unique<Field>();
		added->name = name;
		added->type = type;
		added->fixedSize = fixedSize;
		added->items.push_back(std::move(item));
		fFields.push_back(std::move(added));
		return B_OK;
	}
	if (field->type != type)
		return B_BAD_TYPE;
	if (field->fixedSize && item.Size() != field->items.front().Size())
		return B_BAD_VALUE;
	field->items.push_back(std::move(item));
	return B_OK;
}

status_t BMessage::AddFixed(const char* name, type_code type, const void* data, size_t size)
{
	Item item;
	item.data.assign(static_cast<const char*>(data), size);
	return AddItem(name, type, true, std::move(item));
}

status_t BMessage::AddRect(const char* name, BRect rect)
{
	float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
	return AddFixed(name, B_RECT_TYPE, values, sizeof(values));
}

status_t BMessage::AddPoint(const char* name, BPoint point)
{
	float values[2] = {point.x, point.y};
	return AddFixed(name, B_POINT_TYPE, values, sizeof(values));
}

status_t BMessage::AddString(const char* name, const char* string)
{
	if (string == nullptr)
		return B_BAD_VALUE;
	Item item;
	item.data.assign(string, std::strlen(string) + 1);
	return AddItem(name, B_STRING_TYPE, false, std::move(item));
}

status_t BMessage::AddString(const char* name, const std::string& string)
{
	return AddString(name, string.c_str());
}

status_t BMessage::AddInt8(const char* name, int8 value)
{
	return AddFixed(name, B_INT8_TYPE, &value, 1);
}

status_t BMessage::AddInt16(const char* name, int16 value)
{
	return AddFixed(name, B_INT16_TYPE, &value, 2);
}

status_t BMessage::AddInt32(const char* name, int32 value)
{
	return AddFixed(name, B_INT32_TYPE, &value, 4);
}

status_t BMessage::AddInt64(const char* name, int64 value)
{
	return AddFixed(name, B_INT64_TYPE, &value, 8);
}

status_t BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return AddFixed(name, B_BOOL_TYPE, &byte, 1);
}

status_t BMessage::AddFloat(const char* name, float value)
{
	return AddFixed(name, B_FLOAT_TYPE, &value, 4);
}

status_t BMessage::AddDouble(const char* name, double value)
{
	return AddFixed(name, B_DOUBLE_TYPE, &value, 8);
}

status_t BMessage::AddPointer(const char* name, const void* pointer)
{
	return AddFixed(name, B_POINTER_TYPE, &pointer, sizeof(pointer));
}

status_t BMessage::AddRef(const char* name, const entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	Item item;
	item.data = flatten_ref(*ref);
	item.refPath = ref->directory_path;
	return AddItem(name, B_REF_TYPE, false, std::move(item));
}

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	auto copy = std::make_shared<BMessage>(*message);
	copy->SetDelivery(nullptr);
	Item item;
	item.message = std::move(copy);
	return AddItem(name, B_MESSAGE_TYPE, false, std::move(item));
}

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                           bool isFixedSize, int32 count)
{
	if (numBytes < 0 || (data == nullptr && numBytes > 0))
		return B_BAD_VALUE;
	Item item;
	if (numBytes > 0)
		item.data.assign(static_cast<const char*>(data), size_t(numBytes));
	return AddItem(name, type, isFixedSize, std::move(item));
}

// --- Removing ---

status_t BMessage::RemoveData(const char* name, int32 index)
{
	status_t error;
	Field* field = FindField(name, B_ANY_TYPE, &error);
	if (field == nullptr)
		return error;
	if (index < 0 || size_t(index) >= field->items.size())
		return B_BAD_INDEX;
	field->items.erase(field->items.begin() + index);
	if (field->items.empty())
		return RemoveName(name);
	return B_OK;
}

status_t BMessage::RemoveName(const char* name)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	for (auto it = fFields.begin(); it != fFields.end(); ++it) {
		if ((*it)->name == name) {
			fFields.erase(it);
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

status_t BMessage::MakeEmpty()
{
	fFields.clear();
	return B_OK;
}

// --- Finding, status form ---

status_t BMessage::FindRect(const char* name, BRect* rect) const
{
	return FindRect(name, 0, rect);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
	if (rect == nullptr)
		return B_BAD_VALUE;
	float values[4];
	status_t status = FindFixed(name, B_RECT_TYPE, index, values, sizeof(values));
	if (status == B_OK)
		rect->Set(values[0], values[1], values[2], values[3]);
	return status;
}

status_t BMessage::FindPoint(const char* name, BPoint* point) const
{
	return FindPoint(name, 0, point);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
	if (point == nullptr)
		return B_BAD_VALUE;
	float values[2];
	status_t status = FindFixed(name, B_POINT_TYPE, index, values, sizeof(values));
	if (status == B_OK)
		point->Set(values[0], values[1]);
	return status;
}

status_t BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (string == nullptr)
		return B_BAD_VALUE;
	const Item* item;
	status_t status = FindItem(name, B_STRING_TYPE, index, &item);
	if (status != B_OK)
		return status;
	// std::string keeps a NUL after its bytes, so even an unterminated
	// item read from a file stays a valid C string.
	*string = item->data.c_str();
	return B_OK;
}

status_t BMessage::FindString(const char* name, std::string* string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, std::string* string) const
{
	if (string == nullptr)
		return B_BAD_VALUE;
	const char* text;
	status_t status = FindString(name, index, &text);
	if (status == B_OK)
		*string = text;
	return status;
}

status_t BMessage::FindInt8(const char* name, int8* value) const
{
	return FindInt8(name, 0, value);
}

status_t BMessage::FindInt8(const char* name, int32 index, int8* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_INT8_TYPE, index, value, 1);
}

status_t BMessage::FindInt16(const char* name, int16* value) const
{
	return FindInt16(name, 0, value);
}

status_t BMessage::FindInt16(const char* name, int32 index, int16* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_INT16_TYPE, index, value, 2);
}

status_t BMessage::FindInt32(const char* name, int32* value) const
{
	return FindInt32(name, 0, value);
}

status_t BMessage::FindInt32(const char* name, int32 index, int32* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_INT32_TYPE, index, value, 4);
}

status_t BMessage::FindInt64(const char* name, int64* value) const
{
	return FindInt64(name, 0, value);
}

status_t BMessage::FindInt64(const char* name, int32 index, int64* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_INT64_TYPE, index, value, 8);
}

status_t BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = FindFixed(name, B_BOOL_TYPE, index, &byte, 1);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t BMessage::FindFloat(const char* name, float* value) const
{
	return FindFloat(name, 0, value);
}

status_t BMessage::FindFloat(const char* name, int32 index, float* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_FLOAT_TYPE, index, value, 4);
}

status_t BMessage::FindDouble(const char* name, double* value) const
{
	return FindDouble(name, 0, value);
}

status_t BMessage::FindDouble(const char* name, int32 index, double* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return FindFixed(name, B_DOUBLE_TYPE, index, value, 8);
}

status_t BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindPointer(name, 0, pointer);
}

// Pointers read from an R5 buffer are 4 bytes wide; ours are 8.
status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	if (pointer == nullptr)
		return B_BAD_VALUE;
	const Item* item;
	status_t status = FindItem(name, B_POINTER_TYPE, index, &item);
	if (status != B_OK)
		return status;
	if (item->data.size() == sizeof(void*)) {
		std::memcpy(pointer, item->data.data(), sizeof(void*));
		return B_OK;
	}
	if (item->data.size() == 4) {
		*pointer = reinterpret_cast<void*>(uintptr_t(read_u32(item->data.data(), false)));
		return B_OK;
	}
	return B_BAD_DATA;
}

status_t BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	const Item* item;
	status_t status = FindItem(name, B_REF_TYPE, index, &item);
	if (status != B_OK)
		return status;
	const std::string& bytes = item->data;
	if (bytes.size() < 12)
		return B_BAD_DATA;
	entry_ref found(int32(read_u32(bytes.data(), false)), int64(read_u64(bytes.data() + 4, false)),
	                nullptr);
	if (bytes.size() > 12)
		found.set_name(std::string(bytes.c_str() + 12).c_str());
	found.directory_path = item->refPath;
	*ref = found;
	return B_OK;
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	const Item* item;
	status_t status = FindItem(name, B_MESSAGE_TYPE, index, &item);
	if (status != B_OK)
		return status;
	if (item->message) {
		*message = *item->message;
		return B_OK;
	}
	BMessage parsed;
	status = parsed.Unflatten(item->data.data(), ssize_t(item->data.size()));
	if (status == B_OK)
		*message = parsed;
	return status;
}

std::shared_ptr<const BMessage> BMessage::FindNested(const char* name, int32 index) const
{
	const Item* item;
	if (FindItem(name, B_MESSAGE_TYPE, index, &item) != B_OK)
		return nullptr;
	if (item->message)
		return item->message;
	auto parsed = std::make_shared<BMessage>();
	if (parsed->Unflatten(item->data.data(), ssize_t(item->data.size())) != B_OK)
		return nullptr;
	return parsed;
}

status_t BMessage::FindData(const char* name, type_code type, const void** data,
                            ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* numBytes) const
{
	if (data == nullptr || numBytes == nullptr)
		return B_BAD_VALUE;
	const Item* item;
	status_t status = FindItem(name, type, index, &item);
	if (status != B_OK)
		return status;
	const std::string& bytes = item->Bytes();
	*data = bytes.data();
	*numBytes = ssize_t(bytes.size());
	return B_OK;
}

// --- Replacing ---

status_t BMessage::ReplaceItem(const char* name, type_code type, int32 index, Item&& item)
{
	status_t error;
	Field* field = FindField(name, type, &error);
	if (field == nullptr)
		return error;
	if (index < 0 || size_t(index) >= field->items.size())
		return B_BAD_INDEX;
	// A fixed field keeps one item size; a lone item may change it.
	if (field->fixedSize) {
		if (item.Size() == 0)
			return B_BAD_VALUE;
		if (field->items.size() > 1 && item.Size() != field->items.front().Size())
			return B_BAD_VALUE;
	}
	field->items[size_t(index)] = std::move(item);
	return B_OK;
}

status_t BMessage::ReplaceBytes(const char* name, type_code type, int32 index, const void* data,
                                size_t size)
{
	Item item;
	item.data.assign(static_cast<const char*>(data), size);
	return ReplaceItem(name, type, index, std::move(item));
}

status_t BMessage::ReplaceRect(const char* name, BRect rect)
{
	return ReplaceRect(name, 0, rect);
}

status_t BMessage::ReplaceRect(const char* name, int32 index, BRect rect)
{
	float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
	return ReplaceBytes(name, B_RECT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplacePoint(const char* name, BPoint point)
{
	return ReplacePoint(name, 0, point);
}

status_t BMessage::ReplacePoint(const char* name, int32 index, BPoint point)
{
	float values[2] = {point.x, point.y};
	return ReplaceBytes(name, B_POINT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == nullptr)
		return B_BAD_VALUE;
	return ReplaceBytes(name, B_STRING_TYPE, index, string, std::strlen(string) + 1);
}

status_t BMessage::ReplaceInt8(const char* name, int8 value)
{
	return ReplaceInt8(name, 0, value);
}

status_t BMessage::ReplaceInt8(const char* name, int32 index, int8 value)
{
	return ReplaceBytes(name, B_INT8_TYPE, index, &value, 1);
}

status_t BMessage::ReplaceInt16(const char* name, int16 value)
{
	return ReplaceInt16(name, 0, value);
}

status_t BMessage::ReplaceInt16(const char* name, int32 index, int16 value)
{
	return ReplaceBytes(name, B_INT16_TYPE, index, &value, 2);
}

status_t BMessage::ReplaceInt32(const char* name, int32 value)
{
	return ReplaceInt32(name, 0, value);
}

status_t BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
	return ReplaceBytes(name, B_INT32_TYPE, index, &value, 4);
}

status_t BMessage::ReplaceInt64(const char* name, int64 value)
{
	return ReplaceInt64(name, 0, value);
}

status_t BMessage::ReplaceInt64(const char* name, int32 index, int64 value)
{
	return ReplaceBytes(name, B_INT64_TYPE, index, &value, 8);
}

status_t BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return ReplaceBytes(name, B_BOOL_TYPE, index, &byte, 1);
}

status_t BMessage::ReplaceFloat(const char* name, float value)
{
	return ReplaceFloat(name, 0, value);
}

status_t BMessage::ReplaceFloat(const char* name, int32 index, float value)
{
	return ReplaceBytes(name, B_FLOAT_TYPE, index, &value, 4);
}

status_t BMessage::ReplaceDouble(const char* name, double value)
{
	return ReplaceDouble(name, 0, value);
}

status_t BMessage::ReplaceDouble(const char* name, int32 index, double value)
{
	return ReplaceBytes(name, B_DOUBLE_TYPE, index, &value, 8);
}

status_t BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return ReplacePointer(name, 0, pointer);
}

status_t BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	return ReplaceBytes(name, B_POINTER_TYPE, index, &pointer, sizeof(pointer));
}

status_t BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	Item item;
	item.data = flatten_ref(*ref);
	item.refPath = ref->directory_path;
	return ReplaceItem(name, B_REF_TYPE, index, std::move(item));
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	auto copy = std::make_shared<BMessage>(*message);
	copy->SetDelivery(nullptr);
	Item item;
	item.message = std::move(copy);
	return ReplaceItem(name, B_MESSAGE_TYPE, index, std::move(item));
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                               ssize_t numBytes)
{
	if (numBytes < 0 || (data == nullptr && numBytes > 0) || type == B_ANY_TYPE)
		return B_BAD_VALUE;
	return ReplaceBytes(name, type, index, data, size_t(numBytes));
}

// --- Has ---

bool BMessage::HasRect(const char* name, int32 index) const
{
	return HasData(name, B_RECT_TYPE, index);
}

bool BMessage::HasPoint(const char* name, int32 index) const
{
	return HasData(name, B_POINT_TYPE, index);
}

bool BMessage::HasString(const char* name, int32 index) const
{
	return HasData(name, B_STRING_TYPE, index);
}

bool BMessage::HasInt8(const char* name, int32 index) const
{
	return HasData(name, B_INT8_TYPE, index);
}

bool BMessage::HasInt16(const char* name, int32 index) const
{
	return HasData(name, B_INT16_TYPE, index);
}

bool BMessage::HasInt32(const char* name, int32 index) const
{
	return HasData(name, B_INT32_TYPE, index);
}

bool BMessage::HasInt64(const char* name, int32 index) const
{
	return HasData(name, B_INT64_TYPE, index);
}

bool BMessage::HasBool(const char* name, int32 index) const
{
	return HasData(name, B_BOOL_TYPE, index);
}

bool BMessage::HasFloat(const char* name, int32 index) const
{
	return HasData(name, B_FLOAT_TYPE, index);
}

bool BMessage::HasDouble(const char* name, int32 index) const
{
	return HasData(name, B_DOUBLE_TYPE, index);
}

bool BMessage::HasPointer(const char* name, int32 index) const
{
	return HasData(name, B_POINTER_TYPE, index);
}

bool BMessage::HasMessenger(const char* name, int32 index) const
{
	return HasData(name, B_MESSENGER_TYPE, index);
}

bool BMessage::HasRef(const char* name, int32 index) const
{
	return HasData(name, B_REF_TYPE, index);
}

bool BMessage::HasMessage(const char* name, int32 index) const
{
	return HasData(name, B_MESSAGE_TYPE, index);
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const Item* item;
	return FindItem(name, type, index, &item) == B_OK;
}

// --- Finding, value form ---

BRect BMessage::FindRect(const char* name, int32 index) const
{
	BRect rect;
	FindRect(name, index, &rect);
	return rect;
}

BPoint BMessage::FindPoint(const char* name, int32 index) const
{
	BPoint point;
	FindPoint(name, index, &point);
	return point;
}

const char* BMessage::FindString(const char* name, int32 index) const
{
	const char* string = nullptr;
	FindString(name, index, &string);
	return string;
}

int8 BMessage::FindInt8(const char* name, int32 index) const
{
	int8 value = 0;
	FindInt8(name, index, &value);
	return value;
}

int16 BMessage::FindInt16(const char* name, int32 index) const
{
	int16 value = 0;
	FindInt16(name, index, &value);
	return value;
}

int32 BMessage::FindInt32(const char* name, int32 index) const
{
	int32 value = 0;
	FindInt32(name, index, &value);
	return value;
}

int64 BMessage::FindInt64(const char* name, int32 index) const
{
	int64 value = 0;
	FindInt64(name, index, &value);
	return value;
}

bool BMessage::FindBool(const char* name, int32 index) const
{
	bool value = false;
	FindBool(name, index, &value);
	return value;
}

float BMessage::FindFloat(const char* name, int32 index) const
{
	float value = 0;
	FindFloat(name, index, &value);
	return value;
}

double BMessage::FindDouble(const char* name, int32 index) const
{
	double value = 0;
	FindDouble(name, index, &value);
	return value;
}
