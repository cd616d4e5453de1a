// Reading the product picture, icon pictures (PNG, with libpng) and the
// start-up sound into the forms the record carries.
#include "ProductAssets.h"

#include <png.h>

#include <vector>

#include "Bitmap.h"
#include "MediaDefs.h"
#include "Message.h"
#include "SoundFileReader.h"

namespace {

const uint8 kPanelGrey = 216;
const size_t kSoundBufferFrames = 1024;

// The pixels of a PNG as blue, green, red, alpha bytes.
status_t read_png(const std::string& path, int32* width, int32* height, std::vector<uint8>* pixels,
                  std::string* error)
{
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str())) {
		*error = "not a PNG picture: " + path + " (" + image.message + ")";
		return B_BAD_DATA;
	}
	image.format = PNG_FORMAT_BGRA;
	pixels->resize(PNG_IMAGE_SIZE(image));
	if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr)) {
		*error = "damaged PNG picture: " + path + " (" + image.message + ")";
		png_image_free(&image);
		return B_BAD_DATA;
	}
	*width = (int32)image.width;
	*height = (int32)image.height;
	return B_OK;
}

status_t check_size(const std::string& path, int32 width, int32 height, int32 wantedWidth,
                    int32 wantedHeight, std::string* error)
{
	if (width == wantedWidth && height == wantedHeight)
		return B_OK;
	*error = "the picture " + path + " is " + std::to_string(width) + " x " +
	         std::to_string(height) + " pixels; it must be " + std::to_string(wantedWidth) + " x " +
	         std::to_string(wantedHeight);
	return B_BAD_VALUE;
}

uint8 over_grey(uint8 value, uint8 alpha)
{
	return (uint8)((value * alpha + kPanelGrey * (255 - alpha) + 127) / 255);
}

} // namespace

status_t archive_about_image(const std::string& path, BMessage* archive, std::string* error)
{
	int32 width = 0;
	int32 height = 0;
	std::vector<uint8> pixels;
	status_t status = read_png(path, &width, &height, &pixels, error);
	if (status == B_OK)
		status = check_size(path, width, height, kAboutImageWidth, kAboutImageHeight, error);
	if (status != B_OK)
		return status;
	BBitmap bitmap(BRect(0, 0, width - 1, height - 1), B_RGB32);
	if (bitmap.InitCheck() != B_OK) {
		*error = "no memory for the picture " + path;
		return B_NO_MEMORY;
	}
	for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
		uint8 alpha = pixels[i + 3];
		for (size_t c = 0; c < 3; c++)
			pixels[i + c] = over_grey(pixels[i + c], alpha);
		pixels[i + 3] = 255;
	}
	bitmap.SetBits(pixels.data(), (int32)pixels.size(), 0, B_RGB32);
	return bitmap.Archive(archive, true);
}

status_t read_icon_picture(const std::string& path, BBitmap* icon, std::string* error)
{
	int32 width = 0;
	int32 height = 0;
	std::vector<uint8> pixels;
	status_t status = read_png(path, &width, &height, &pixels, error);
	if (status == B_OK)
		status = check_size(path, width, height, 16, 16, error);
	if (status != B_OK)
		return status;
	icon->SetBits(pixels.data(), (int32)pixels.size(), 0, B_RGBA32);
	return B_OK;
}

status_t archive_sound(const std::string& path, BMessage* archive, std::string* error)
{
	media_raw_audio_format format;
	std::vector<uint8> samples;
	status_t status = SoundFileReader::Read(path.c_str(), &format, &samples);
	if (status != B_OK) {
		*error = "not a sound file vantry-build reads (WAV or AIFF, uncompressed): " + path;
		return status;
	}
	size_t frameSize = media_sample_size(format.format) * format.channel_count;
	archive->AddData("data", B_ANY_TYPE, samples.data(), (ssize_t)samples.size(), false);
	archive->AddFloat("frame_rate", format.frame_rate);
	archive->AddInt32("channel_count", (int32)format.channel_count);
	archive->AddInt32("format", (int32)format.format);
	archive->AddInt32("byte_order", (int32)format.byte_order);
	archive->AddInt32("buffer_size", (int32)(frameSize * kSoundBufferFrames));
	return B_OK;
}
