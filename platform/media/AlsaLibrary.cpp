// Opening the ALSA library and finding its functions.
#include "AlsaLibrary.h"

#include <dlfcn.h>

namespace {

template <typename Function> bool find(void* library, const char* name, Function* function)
{
	*function = reinterpret_cast<Function>(dlsym(library, name));
	return *function != nullptr;
}

// Every function or none: a library lacking one is treated as absent.
bool load(AlsaLibrary* alsa)
{
	void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
	if (library == nullptr)
		return false;
	bool found = find(library, "snd_lib_error_set_handler", &alsa->lib_error_set_handler) &&
	             find(library, "snd_pcm_open", &alsa->pcm_open) &&
	             find(library, "snd_pcm_set_params", &alsa->pcm_set_params) &&
	             find(library, "snd_pcm_close", &alsa->pcm_close) &&
	             find(library, "snd_pcm_drop", &alsa->pcm_drop) &&
	             find(library, "snd_pcm_drain", &alsa->pcm_drain) &&
	             find(library, "snd_pcm_prepare", &alsa->pcm_prepare) &&
	             find(library, "snd_pcm_recover", &alsa->pcm_recover) &&
	             find(library, "snd_pcm_writei", &alsa->pcm_writei);
	if (!found)
		dlclose(library);
	return found;
}

} // namespace

const AlsaLibrary* AlsaLibrary::Get()
{
	static AlsaLibrary alsa;
	static const bool loaded = load(&alsa);
	return loaded ? &alsa : nullptr;
}
