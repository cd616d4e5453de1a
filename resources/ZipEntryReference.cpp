// ZipEntryReader: loading the reference an entry was encoded against (the
// deinstaller, against the installer program that carries it).
#include "ZipEntryReader.h"

#include "HostFileReader.h"
#include "PayloadFields.h"
#include "Sha256.h"
#include "ZipArchive.h"

// Reads the bytes the entry was encoded against: the start of the file
// holding the archive, wholly before it and no larger than a reader holds,
// with the digest the field gives. Any other bytes would decode to garbage.
status_t ZipEntryReader::_LoadReference(const uint8* field, uint16 length)
{
	const std::string& name = fEntry->name;
	PayloadReference reference;
	if (decode_payload_reference(field, length, &reference) != B_OK)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + name + " has a damaged reference field");
	if (reference.size == 0 || reference.size > kMaxReferenceBytes ||
	    reference.size > (uint64)fArchive->Offset())
		return (status_t)_Fail(B_BAD_DATA,
		                       "the entry " + name + " was packed against the first " +
		                               std::to_string(reference.size) +
		                               " bytes of the installer that carries it, and this "
		                               "archive lies in no such installer");
	// Entries of one archive share their reference: it is read and hashed once.
	if (fReference.size() == reference.size && fReferenceDigest == reference.digest) {
		fReferenced = true;
		return B_OK;
	}
	fReferenceDigest.clear();
	fReference.resize((size_t)reference.size);
	if (read_fully_at(fArchive->File(), 0, fReference.data(), fReference.size()) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the first " +
		                                           std::to_string(reference.size) +
		                                           " bytes of the installer for " + name);
	Sha256 hash;
	hash.Update((const uint8*)fReference.data(), fReference.size());
	std::string digest(Sha256::kSize, '\0');
	hash.Final((uint8*)digest.data());
	if (digest != reference.digest) {
		fReference.clear();
		return (status_t)_Fail(B_BAD_DATA, "the entry " + name +
		                                           " was packed against another installer "
		                                           "program: the first " +
		                                           std::to_string(reference.size) +
		                                           " bytes of this one differ");
	}
	fReferenceDigest = digest;
	fReferenced = true;
	return B_OK;
}
