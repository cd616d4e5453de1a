// The R5 flattened form of BMessage: sizing, writing and checked reading.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "ByteOrder.h"
#include "Message.h"
#include "MessageDelivery.h"
#include "MessageField.h"

namespace {

constexpr uint32 kMagicR5 = 'FOB1';
// Up to this many fields a message being read is searched by a scan.
constexpr size_t kScannedFields = 16;
constexpr uint32 kMagicDano = 'FOB2';
constexpr uint32 kMagicHaiku = '1FMH';

constexpr uint8 kHeaderValid = 0x01;
constexpr uint8 kHeaderTarget = 0x02;
constexpr uint8 kHeaderReply = 0x04;

constexpr uint8 kFieldValid = 0x01;
constexpr uint8 kFieldMini = 0x02;
constexpr uint8 kFieldFixed = 0x04;
constexpr uint8 kFieldSingle = 0x08;

constexpr size_t kHeaderSize = 17;
constexpr size_t kTargetSize = 4;
constexpr size_t kReplySize = 16;
// Nested messages deeper than this are refused, so hostile input cannot
// exhaust the stack.
constexpr int kMaxDepth = 64;

size_t pad8(size_t n)
{
	return (n + 7) & ~size_t(7);
}

// Sums the header from its size field on, as big-endian words whatever the
// byte order of the message, then adds the leftover bytes folded together.
uint32 header_checksum(const uint8* bytes, size_t length)
{
	uint32 sum = 0;
	size_t i = 0;
	for (; i + 4 <= length; i += 4)
		sum += read_u32(bytes + i, true);
	uint32 tail = 0;
	for (; i < length; i++)
		tail = (tail << 8) + bytes[i];
	return sum + tail;
}

bool is_mini(size_t dataSize, size_t count)
{
	return dataSize <= 255 && count <= 255;
}

// --- Reading ---

// A cursor over a byte range that refuses to step past its end.
class Reader {
public:
	Reader(const uint8* data, size_t size, bool bigEndian)
	    : fData(data), fSize(size), fPosition(0), fBigEndian(bigEndian)
	{
	}

	bool Read8(uint8* value)
	{
		if (fSize - fPosition < 1)
			return false;
		*value = fData[fPosition++];
		return true;
	}

	bool Read32(uint32* value)
	{
		if (fSize - fPosition < 4)
			return false;
		*value = read_u32(fData + fPosition, fBigEndian);
		fPosition += 4;
		return true;
	}

	// Counts and sizes take one byte in mini fields, four otherwise.
	bool ReadLength(bool mini, uint32* value)
	{
		if (!mini)
			return Read32(value);
		uint8 byte;
		if (!Read8(&byte))
			return false;
		*value = byte;
		return true;
	}

	bool Bytes(size_t length, const uint8** bytes)
	{
		if (length > fSize - fPosition)
			return false;
		*bytes = fData + fPosition;
		fPosition += length;
		return true;
	}

private:
	const uint8* fData;
	size_t fSize;
	size_t fPosition;
	bool fBigEndian;
};

// Brings an item read from a big-endian message to host order.
bool swap_item(type_code type, std::string& data)
{
	if (type == B_REF_TYPE) {
		if (data.size() < 12)
			return true;
		write_u32le(data.data(), read_u32(data.data(), true));
		write_u64le(data.data() + 4, read_u64(data.data() + 4, true));
		return true;
	}
	return swap_data(type, data.data(), data.size());
}

} // namespace

// The head of a field record, with its data still in the buffer.
struct FieldHead {
	uint8 flags;
	type_code type;
	uint32 count;
	std::string name;
	const uint8* data;
	uint32 dataSize;
};

namespace {

status_t read_field_head(Reader& reader, uint8 flags, FieldHead* head)
{
	head->flags = flags;
	bool mini = (flags & kFieldMini) != 0;
	head->count = 1;
	if (!reader.Read32(&head->type))
		return B_BAD_DATA;
	if ((flags & kFieldSingle) == 0 && !reader.ReadLength(mini, &head->count))
		return B_BAD_DATA;
	uint8 nameLength;
	const uint8* name;
	if (!reader.ReadLength(mini, &head->dataSize) || !reader.Read8(&nameLength) ||
	    !reader.Bytes(nameLength, &name) || !reader.Bytes(head->dataSize, &head->data))
		return B_BAD_DATA;
	if (head->count == 0)
		return B_BAD_DATA;
	head->name.assign(reinterpret_cast<const char*>(name), nameLength);
	return B_OK;
}

} // namespace

// --- Sizing ---

ssize_t MessageCodec::FieldDataSize(const BMessage::Field& field)
{
	size_t size = 0;
	for (const auto& item : field.items)
		size += field.fixedSize ? item.Size() : pad8(4 + item.Size());
	return ssize_t(size);
}

namespace {

size_t field_record_size(size_t nameLength, size_t count, size_t dataSize)
{
	bool mini = is_mini(dataSize, count);
	size_t size = 1 + 4;
	if (count != 1)
		size += mini ? 1 : 4;
	size += mini ? 1 : 4;
	return size + 1 + nameLength + dataSize;
}

} // namespace

ssize_t MessageCodec::FlattenedSize(const BMessage& message)
{
	size_t size = kHeaderSize + 1;
	for (const auto& field : message.fFields) {
		size += field_record_size(field->name.size(), field->items.size(),
		                          size_t(FieldDataSize(*field)));
	}
	return ssize_t(size);
}

ssize_t BMessage::FlattenedSize() const
{
	return MessageCodec::FlattenedSize(*this);
}

// --- Writing ---

// Writes one item's bytes; a nested message flattens itself in place.
void MessageCodec::WriteItem(const BMessage::Item& item, uint8* out, size_t size)
{
	if (item.message) {
		item.message->Flatten(reinterpret_cast<char*>(out), ssize_t(size));
		return;
	}
	std::memcpy(out, item.data.data(), size);
}

status_t MessageCodec::Flatten(const BMessage& message, char* buffer, size_t size)
{
	ssize_t total = FlattenedSize(message);
	if (total > INT32_MAX)
		return B_BAD_VALUE;
	if (size < size_t(total))
		return B_BUFFER_OVERFLOW;
	auto* out = reinterpret_cast<uint8*>(buffer);
	write_u32le(out, kMagicR5);
	write_u32le(out + 8, uint32(total));
	write_u32le(out + 12, message.what);
	out[16] = kHeaderValid;
	write_u32le(out + 4, header_checksum(out + 8, kHeaderSize - 8));
	size_t pos = kHeaderSize;
	for (const auto& field : message.fFields) {
		size_t dataSize = size_t(FieldDataSize(*field));
		size_t count = field->items.size();
		bool mini = is_mini(dataSize, count);
		uint8 flags = kFieldValid;
		if (mini)
			flags |= kFieldMini;
		if (field->fixedSize)
			flags |= kFieldFixed;
		if (count == 1)
			flags |= kFieldSingle;
		out[pos++] = flags;
		write_u32le(out + pos, field->type);
		pos += 4;
		if (count != 1) {
			if (mini)
				out[pos++] = uint8(count);
			else {
				write_u32le(out + pos, uint32(count));
				pos += 4;
			}
		}
		if (mini)
			out[pos++] = uint8(dataSize);
		else {
			write_u32le(out + pos, uint32(dataSize));
			pos += 4;
		}
		out[pos++] = uint8(field->name.size());
		std::memcpy(out + pos, field->name.data(), field->name.size());
		pos += field->name.size();
		for (const auto& item : field->items) {
			size_t itemSize = item.Size();
			if (field->fixedSize) {
				WriteItem(item, out + pos, itemSize);
				pos += itemSize;
				continue;
			}
			write_u32le(out + pos, uint32(itemSize));
			WriteItem(item, out + pos + 4, itemSize);
			size_t padded = pad8(4 + itemSize);
			std::memset(out + pos + 4 + itemSize, 0, padded - 4 - itemSize);
			pos += padded;
		}
	}
	out[pos] = 0;
	return B_OK;
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (buffer == nullptr || size < 0)
		return B_BAD_VALUE;
	return MessageCodec::Flatten(*this, buffer, size_t(size));
}

status_t BMessage::Flatten(std::string* out) const
{
	if (out == nullptr)
		return B_BAD_VALUE;
	ssize_t size = FlattenedSize();
	if (size > INT32_MAX)
		return B_BAD_VALUE;
	std::string bytes(size_t(size), '\0');
	status_t status = Flatten(bytes.data(), size);
	if (status != B_OK)
		return status;
	*out = std::move(bytes);
	return B_OK;
}

// --- Reading ---

status_t MessageCodec::ReadFixedItems(const FieldHead& head, bool bigEndian, BMessage::Field* field)
{
	if (head.dataSize == 0 || head.dataSize % head.count != 0)
		return B_BAD_DATA;
	size_t itemSize = head.dataSize / head.count;
	field->items.resize(head.count);
	for (uint32 i = 0; i < head.count; i++) {
		std::string& data = field->items[i].data;
		data.assign(reinterpret_cast<const char*>(head.data) + i * itemSize, itemSize);
		if (bigEndian && !swap_item(head.type, data))
			return B_BAD_DATA;
	}
	return B_OK;
}

namespace {

// Variable items are a length and bytes, padded to 8. The padding of the
// last item may be missing in files other writers made; its bytes are
// never looked at. `each(i, bytes, length)` takes item i, every length
// checked against the field's data first.
template <class Head, class Each>
status_t for_each_variable_item(const Head& head, bool bigEndian, Each each)
{
	if (head.count > head.dataSize / 4)
		return B_BAD_DATA;
	size_t pos = 0;
	for (uint32 i = 0; i < head.count; i++) {
		if (head.dataSize - pos < 4)
			return B_BAD_DATA;
		uint32 length = read_u32(head.data + pos, bigEndian);
		pos += 4;
		if (length > head.dataSize - pos)
			return B_BAD_DATA;
		const status_t status = each(i, reinterpret_cast<const char*>(head.data) + pos, length);
		if (status != B_OK)
			return status;
		pos += length;
		pos += std::min(pad8(4 + length) - 4 - length, head.dataSize - pos);
	}
	return B_OK;
}

} // namespace

status_t MessageCodec::ReadVariableItems(const FieldHead& head, bool bigEndian,
                                         BMessage::Field* field)
{
	field->items.resize(head.count > head.dataSize / 4 ? 0 : head.count);
	return for_each_variable_item(
	        head, bigEndian, [&](uint32 i, const char* bytes, uint32 length) -> status_t {
		        std::string& data = field->items[i].data;
		        data.assign(bytes, length);
		        return bigEndian && !swap_item(head.type, data) ? B_BAD_DATA : B_OK;
	        });
}

// Variable items that are messages are read into objects straight from the
// buffer, without a copy of their bytes on the way.
status_t MessageCodec::ReadNestedItems(const FieldHead& head, bool bigEndian,
                                       BMessage::Field* field, int depth)
{
	field->items.resize(head.count > head.dataSize / 4 ? 0 : head.count);
	return for_each_variable_item(
	        head, bigEndian, [&](uint32 i, const char* bytes, uint32 length) -> status_t {
		        auto nested = std::make_shared<BMessage>();
		        const status_t status = MessageCodec::Unflatten(*nested, bytes, length, depth + 1);
		        if (status != B_OK)
			        return status == B_NOT_SUPPORTED ? B_NOT_SUPPORTED : B_BAD_DATA;
		        field->items[i].message = std::move(nested);
		        return B_OK;
	        });
}

// Nested messages are read into objects, so a big-endian child comes out in
// host order and a malformed one fails the whole message.
status_t MessageCodec::ReadNested(BMessage::Field* field, int depth)
{
	field->fixedSize = false;
	for (auto& item : field->items) {
		auto nested = std::make_shared<BMessage>();
		status_t status =
		        MessageCodec::Unflatten(*nested, item.data.data(), item.data.size(), depth + 1);
		if (status != B_OK)
			return status == B_NOT_SUPPORTED ? B_NOT_SUPPORTED : B_BAD_DATA;
		item.message = std::move(nested);
		std::string().swap(item.data);
	}
	return B_OK;
}

status_t MessageCodec::Unflatten(BMessage& message, const char* buffer, size_t size, int depth)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (depth > kMaxDepth)
		return B_BAD_DATA;
	if (size < 4)
		return B_BAD_VALUE;
	auto* bytes = reinterpret_cast<const uint8*>(buffer);
	uint32 magic = read_u32(bytes, false);
	bool bigEndian;
	if (magic == kMagicR5)
		bigEndian = false;
	else if (swap32(magic) == kMagicR5)
		bigEndian = true;
	else if (magic == kMagicDano || swap32(magic) == kMagicDano || magic == kMagicHaiku ||
	         swap32(magic) == kMagicHaiku)
		return B_NOT_SUPPORTED;
	else
		return B_BAD_VALUE;

	if (size < kHeaderSize)
		return B_BAD_DATA;
	uint32 total = read_u32(bytes + 8, bigEndian);
	uint8 headerFlags = bytes[16];
	size_t headerSize = kHeaderSize;
	if (headerFlags & kHeaderTarget)
		headerSize += kTargetSize;
	if (headerFlags & kHeaderReply)
		headerSize += kReplySize;
	// The header and the end marker must fit in the declared size, and the
	// declared size in the buffer.
	if (total > size || total <= headerSize)
		return B_BAD_DATA;
	if (read_u32(bytes + 4, bigEndian) != header_checksum(bytes + 8, headerSize - 8))
		return B_BAD_DATA;

	BMessage parsed(read_u32(bytes + 12, bigEndian));
	// Most messages hold a few fields: they are looked up by a scan, and an
	// index is built only for a message with many.
	std::unordered_map<std::string_view, BMessage::Field*> byName;
	auto known_field = [&](const std::string& name) -> BMessage::Field* {
		if (parsed.fFields.size() <= kScannedFields) {
			for (const auto& field : parsed.fFields) {
				if (field->name == name)
					return field.get();
			}
			return nullptr;
		}
		if (byName.empty()) {
			for (const auto& field : parsed.fFields)
				byName.emplace(field->name, field.get());
		}
		auto found = byName.find(name);
		return found != byName.end() ? found->second : nullptr;
	};
	Reader reader(bytes + headerSize, total - headerSize, bigEndian);
	while (true) {
		uint8 flags;
		if (!reader.Read8(&flags))
			return B_BAD_DATA;
		if ((flags & kFieldValid) == 0)
			break;
		FieldHead head;
		status_t status = read_field_head(reader, flags, &head);
		if (status != B_OK)
			return status;
		auto field = std::make_unique<BMessage::Field>();
		field->name = head.name;
		field->type = head.type;
		field->fixedSize = (flags & kFieldFixed) != 0;
		if (head.type == B_MESSAGE_TYPE && !field->fixedSize) {
			status = ReadNestedItems(head, bigEndian, field.get(), depth);
		} else {
			status = field->fixedSize ? ReadFixedItems(head, bigEndian, field.get())
			                          : ReadVariableItems(head, bigEndian, field.get());
			if (status == B_OK && head.type == B_MESSAGE_TYPE)
				status = ReadNested(field.get(), depth);
		}
		if (status != B_OK)
			return status;

		// A name seen twice continues its field, as adding would.
		BMessage::Field* existing = known_field(field->name);
		if (existing == nullptr) {
			if (!byName.empty())
				byName.emplace(field->name, field.get());
			parsed.fFields.push_back(std::move(field));
			continue;
		}
		if (existing->type != field->type || existing->fixedSize != field->fixedSize)
			return B_BAD_DATA;
		if (existing->fixedSize && existing->items.front().Size() != field->items.front().Size())
			return B_BAD_DATA;
		for (auto& item : field->items)
			existing->items.push_back(std::move(item));
	}

	message.what = parsed.what;
	message.fFields = std::move(parsed.fFields);
	message.fDelivery.reset();
	return B_OK;
}

status_t BMessage::Unflatten(const char* buffer, ssize_t size)
{
	if (buffer == nullptr || size < 0)
		return B_BAD_VALUE;
	return MessageCodec::Unflatten(*this, buffer, size_t(size), 0);
}

// The buffer is trusted to hold as many bytes as its header declares.
status_t BMessage::Unflatten(const char* buffer)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	uint32 magic = read_u32(buffer, false);
	bool bigEndian = swap32(magic) == kMagicR5;
	if (magic != kMagicR5 && !bigEndian)
		return MessageCodec::Unflatten(*this, buffer, 4, 0);
	uint32 size = read_u32(buffer + 8, bigEndian);
	return MessageCodec::Unflatten(*this, buffer, size, 0);
}
