// The in-memory form of a message's fields. Only BMessage's own sources
// include this.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Message.h"

// Names are written with a one-byte length.
constexpr size_t kMaxFieldNameLength = 255;

struct BMessage::Item {
	// The item's bytes in their flattened (little-endian) form. For a nested
	// message added as an object this is only a cache filled by FindData.
	mutable std::string data;
	// A nested message, kept as an object so that what it holds in memory
	// only (reference paths, messengers) survives.
	std::shared_ptr<const BMessage> message;
	// B_REF_TYPE: the reference's folder path, which is never flattened.
	std::string refPath;

	// The number of bytes the item takes in the flattened form.
	size_t Size() const { return message ? size_t(message->FlattenedSize()) : data.size(); }
	// The flattened bytes, filling the cache for a nested message.
	const std::string& Bytes() const;
};

struct BMessage::Field {
	std::string name;
	type_code type = 0;
	bool fixedSize = true;
	std::vector<Item> items;
};

struct FieldHead;

// Reads and writes the R5 flattened form; defined in MessageFlatten.cpp.
struct MessageCodec {
	static ssize_t FlattenedSize(const BMessage& message);
	static status_t Flatten(const BMessage& message, char* buffer, size_t size);
	static status_t Unflatten(BMessage& message, const char* buffer, size_t size, int depth);
	static ssize_t FieldDataSize(const BMessage::Field& field);
	static void WriteItem(const BMessage::Item& item, uint8* out, size_t size);
	static status_t ReadFixedItems(const FieldHead& head, bool bigEndian, BMessage::Field* field);
	static status_t ReadVariableItems(const FieldHead& head, bool bigEndian,
	                                  BMessage::Field* field);
	static status_t ReadNestedItems(const FieldHead& head, bool bigEndian, BMessage::Field* field,
	                                int depth);
	static status_t ReadNested(BMessage::Field* field, int depth);
};
