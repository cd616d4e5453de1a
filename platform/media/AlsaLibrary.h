// AlsaLibrary: the ALSA functions sound playback uses, opened at run time so
// that a program runs on a machine without ALSA; there it plays nothing.
#pragma once

#include <alsa/asoundlib.h>

struct AlsaLibrary {
	// The library, opened on first use; null when the machine has none.
	static const AlsaLibrary* Get();

	decltype(&snd_lib_error_set_handler) lib_error_set_handler;
	decltype(&snd_pcm_open) pcm_open;
	decltype(&snd_pcm_set_params) pcm_set_params;
	decltype(&snd_pcm_close) pcm_close;
	decltype(&snd_pcm_drop) pcm_drop;
	decltype(&snd_pcm_drain) pcm_drain;
	decltype(&snd_pcm_prepare) pcm_prepare;
	decltype(&snd_pcm_recover) pcm_recover;
	decltype(&snd_pcm_writei) pcm_writei;
};
