// BResources: the typed, numbered and named resources of a resource file or
// of an executable with a resources block appended.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ResourceContainer.h"
#include "SupportDefs.h"

class BFile;

class BResources {
public:
	BResources();
	explicit BResources(BFile* file, bool clobber = false);
	// Host addition: opens by path, with no BFile.
	BResources(const char* path, bool writable, bool clobber = false);
	virtual ~BResources();

	// Opens the resources of `file`. With `clobber` (and a writable file) the
	// existing resources are dropped.
	status_t SetTo(BFile* file, bool clobber = false);
	// Host addition. Opening a running executable for writing falls back to
	// read-only: every change then fails with B_NOT_ALLOWED.
	status_t SetTo(const char* path, bool writable, bool clobber = false);
	// Writes pending changes, then forgets the file.
	void Unset();
	status_t InitCheck() const;

	// The bytes stay owned by the store until it is unset or the resource removed.
	const void* LoadResource(type_code type, int32 id, size_t* outSize);
	const void* LoadResource(type_code type, const char* name, size_t* outSize);
	status_t PreloadResourceType(type_code type = 0);

	// Writes pending changes: a new file in the same folder renamed over the old.
	status_t Sync();
	status_t MergeFrom(BFile* fromFile);
	// Host addition: merges the resources of the file at `path`.
	status_t MergeFrom(const char* path);

	// Adds a resource, replacing one of the same type and id.
	status_t AddResource(type_code type, int32 id, const void* data, size_t length,
	                     const char* name = nullptr);
	// Host addition: adds a resource whose data are `size` bytes of the file at
	// `path` from `offset`. The bytes are copied in chunks at the next Sync, so
	// the file must stay in place until then.
	status_t AddResourceFromFile(type_code type, int32 id, const char* path, off_t offset,
	                             size_t size, const char* name = nullptr);
	bool HasResource(type_code type, int32 id);
	bool HasResource(type_code type, const char* name);

	bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
	                     const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound, const char** nameFound,
	                     size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
	                     size_t* lengthFound);
	bool GetResourceInfo(type_code byType, const char* andName, int32* idFound,
	                     size_t* lengthFound);
	bool GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
	                     size_t* lengthFound, const char** nameFound);

	status_t RemoveResource(const void* resource);
	status_t RemoveResource(type_code type, int32 id);
	// Overwrites (and extends) part of an existing resource.
	status_t WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length);
	status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length);

	// Returns a copy the caller frees with free(), or null when absent.
	void* FindResource(type_code type, int32 id, size_t* lengthFound);
	void* FindResource(type_code type, const char* name, size_t* lengthFound);

	// Host additions.
	// The byte range of a resource's data in the file, for streaming. The
	// bytes are as stored (in the file's byte order).
	status_t GetResourceRange(type_code type, int32 id, off_t* offset, size_t* size) const;
	// What went wrong last, with the file offset for damaged files.
	const char* ErrorText() const;
	int32 CountResources() const;
	bool IsWritable() const;
	// Bytes this store has read from the file.
	uint64 BytesRead() const;

private:
	struct Item;
	struct FreeDeleter {
		void operator()(void* p) const;
	};

	BResources(const BResources&) = delete;
	BResources& operator=(const BResources&) = delete;

	status_t _Open(const char* path, bool writable);
	status_t _Adopt(int fd, bool writable);
	status_t _Read(bool clobber);
	status_t _MergeFrom(BResources& other);
	status_t _Fail(status_t status, const std::string& text);
	status_t _CheckWritable();
	Item* _Find(type_code type, int32 id) const;
	static bool _Describe(const Item* item, type_code* type, int32* id, const char** name,
	                      size_t* length);
	Item* _Find(type_code type, const char* name) const;
	status_t _Load(Item* item);
	status_t _ReadData(const Item& item, void* buffer) const;
	status_t _ReadRange(const Item& item, off_t at, void* buffer, size_t count) const;
	status_t _CheckSource(const char* path, off_t offset, size_t size);
	void _Replace(std::unique_ptr<Item> item);
	void* _Copy(Item* item, size_t* lengthFound);
	status_t _Write();
	status_t _WriteTo(int fd, const std::vector<Item*>& order, const struct ResourceLayout& layout);
	status_t _CopyData(int fd, const Item& item);
	status_t _CopyRange(int from, off_t offset, uint64 size, int to, bool countRead);
	status_t _Reopen(const std::string& path, const std::vector<Item*>& order,
	                 const struct ResourceLayout& layout);

	mutable std::recursive_mutex fLock;
	int fFd;
	std::string fPath;
	off_t fFileSize;
	status_t fInitStatus;
	bool fWritable;
	bool fModified;
	std::string fReadOnlyReason;
	ResourceContainer fContainer;
	bool fBigEndian;
	std::vector<std::unique_ptr<Item>> fItems;
	std::string fErrorText;
	mutable uint64 fBytesRead;
};
