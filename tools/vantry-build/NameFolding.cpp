// Folding names by case and canonical equivalence, with ICU.
#include "NameFolding.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <numeric>

namespace {

bool is_utf8(std::string_view text)
{
	int32_t at = 0;
	const int32_t length = (int32_t)text.size();
	while (at < length) {
		UChar32 c = 0;
		U8_NEXT(text.data(), at, length, c);
		if (c < 0)
			return false;
	}
	return true;
}

// The canonical caseless form NFD(fold(NFD(name))): names that look alike
// once case and composition are set aside share it.
std::string folded(std::string_view name, const icu::Normalizer2& decompose)
{
	if (!is_utf8(name))
		return std::string(name);
	UErrorCode error = U_ZERO_ERROR;
	icu::UnicodeString text =
	        icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), (int32_t)name.size()));
	icu::UnicodeString key = decompose.normalize(text, error);
	key.foldCase();
	key = decompose.normalize(key, error);
	if (U_FAILURE(error))
		return std::string(name);
	std::string out;
	key.toUTF8String(out);
	return out;
}

std::string_view without_slash(std::string_view name)
{
	if (!name.empty() && name.back() == '/')
		name.remove_suffix(1);
	return name;
}

std::string_view parent_of(std::string_view name)
{
	const size_t slash = name.rfind('/');
	return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash);
}

} // namespace

std::vector<std::pair<size_t, size_t>> folded_name_pairs(const std::vector<std::string_view>& names)
{
	std::vector<std::pair<size_t, size_t>> pairs;
	UErrorCode error = U_ZERO_ERROR;
	const icu::Normalizer2* decompose = icu::Normalizer2::getNFDInstance(error);
	if (U_FAILURE(error) || decompose == nullptr)
		return pairs;
	std::vector<std::string> keys;
	keys.reserve(names.size());
	for (std::string_view name : names)
		keys.push_back(folded(without_slash(name), *decompose));
	std::vector<size_t> order(names.size());
	std::iota(order.begin(), order.end(), 0);
	// Names of one folder side by side within a key, so that each pair is met.
	auto parent = [&](size_t index) { return parent_of(without_slash(names[index])); };
	std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
		const int byKey = keys[a].compare(keys[b]);
		if (byKey != 0)
			return byKey < 0;
		const int byParent = parent(a).compare(parent(b));
		return byParent != 0 ? byParent < 0 : a < b;
	});
	for (size_t i = 1; i < order.size(); i++) {
		const size_t first = order[i - 1];
		const size_t second = order[i];
		const std::string_view a = without_slash(names[first]);
		const std::string_view b = without_slash(names[second]);
		if (keys[first] == keys[second] && a != b && parent(first) == parent(second))
			pairs.emplace_back(first, second);
	}
	return pairs;
}
