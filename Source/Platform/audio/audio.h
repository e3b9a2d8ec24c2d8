// The audio library the sound subsystem plays through: an output device (a
// real one over SDL2, or a silent one that only keeps time), samples, streams
// and tracker modules mixed by our own mixer, with per-channel attributes,
// slides, pause, activity state and levels. Failures return 0 (or -1 where a
// value is returned) and leave their reason for BASS_ErrorGetCode.
//
// Calls are made from one thread (the engine's); mixing runs on the output's
// own thread and shares nothing with the caller except under the mixer's lock.
#pragma once

#include <cstdint>

namespace audio {

using BOOL = int;
using DWORD = std::uint32_t;
using HSAMPLE = DWORD;   // a sample decoded into memory
using HCHANNEL = DWORD;  // one playback of a sample
using HSTREAM = DWORD;   // a sound decoded from its file while it plays
using HMUSIC = DWORD;    // a tracker module

// {==== Constants ============================================================

// Devices for BASS_Init.
constexpr int BASS_DEVICE_DEFAULT = -1;  // the system's default output
constexpr int BASS_DEVICE_SILENT = -2;   // no output; time still passes
// (0, 1, ... open the output devices in the order the system lists them.)

// BASS_Init flags. The output never changes the system volume; the flag is
// accepted so callers can state it.
constexpr DWORD BASS_DEVICE_KEEPVOLUME = 32;

// BASS_SampleLoad: when all playbacks of a sample run, a new one cuts off the
// playback that has played longest (without the flag the new one fails).
constexpr DWORD BASS_SAMPLE_OVERRIDE_LONGEST = 0x20000;
// BASS_StreamCreateFile: exact seeking (our decoders always seek exactly).
constexpr DWORD BASS_STREAM_EXACTSEEK = 0x20000;
// BASS_StreamPlay and BASS_MusicPlayEx: repeat from the start at the end.
constexpr DWORD BASS_PLAY_LOOP = 4;

// Attribute values with a meaning of their own.
constexpr int BASS_ATTRIB_KEEP = -1;        // frequency or volume: unchanged
constexpr int BASS_ATTRIB_KEEP_PAN = -101;  // pan: unchanged
constexpr int BASS_FREQ_ORIGINAL = 0;       // frequency: the channel's own rate
constexpr int BASS_VOLUME_FADESTOP = -2;    // slide: fade out, then stop
// Ranges: volume 0..100, pan -100 (left) .. 100 (right), frequency in Hz
// within BASS_FREQ_MIN..BASS_FREQ_MAX; values outside are clamped.
constexpr int BASS_FREQ_MIN = 100;
constexpr int BASS_FREQ_MAX = 200000;

// BASS_MusicPlayEx position: the order in the low 16 bits, the row in the
// high 16 bits; this value keeps the current position.
constexpr DWORD BASS_MUSIC_POS_CURRENT = 0xFFFFFFFFu;

// BASS_ChannelIsActive results.
constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// BASS_ChannelGetLevel: left in the low 16 bits, right in the high 16 bits,
// each 0..BASS_LEVEL_MAX; BASS_LEVEL_FAILED on failure.
constexpr DWORD BASS_LEVEL_MAX = 128;
constexpr DWORD BASS_LEVEL_FAILED = 0xFFFFFFFFu;

// Error codes (BASS_ErrorGetCode).
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;        // out of memory, or a sound too long to hold
constexpr int BASS_ERROR_FILEOPEN = 2;   // the file cannot be opened or read
constexpr int BASS_ERROR_DRIVER = 3;     // the output cannot be opened
constexpr int BASS_ERROR_HANDLE = 5;     // not a live handle of the right kind
constexpr int BASS_ERROR_FORMAT = 6;     // not a sound or module we can decode
constexpr int BASS_ERROR_POSITION = 7;   // region or start position outside the data
constexpr int BASS_ERROR_INIT = 8;       // BASS_Init has not succeeded
constexpr int BASS_ERROR_START = 9;      // the output cannot be started
constexpr int BASS_ERROR_ALREADY = 14;   // already initialised
constexpr int BASS_ERROR_NOCHAN = 18;    // no free playback (maximum reached, no override)
constexpr int BASS_ERROR_ILLPARAM = 20;  // an argument is invalid
constexpr int BASS_ERROR_DEVICE = 23;    // no such device
constexpr int BASS_ERROR_NOPLAY = 24;    // the channel is not playing
constexpr int BASS_ERROR_UNKNOWN = -1;

// }====

// {==== Library and output ===================================================

// Opens the output at fp_uFreq Hz (8000..192000), stereo. The output starts
// paused: BASS_Start lets it run. fp_pWindow is accepted and not needed.
BOOL BASS_Init(int fp_iDevice, DWORD fp_uFreq, DWORD fp_uFlags, void* fp_pWindow);
BOOL BASS_Start();  // start or resume the output
BOOL BASS_Pause();  // pause the output; channels keep their state
BOOL BASS_Stop();   // pause the output and stop every channel
void BASS_Free();   // close the output and free every sample, stream and module

// Global volumes 0..100 for modules, samples and streams; -1 keeps a value.
BOOL BASS_SetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream);
BOOL BASS_GetGlobalVolumes(int* fp_pMusic, int* fp_pSample, int* fp_pStream);

// Share of real time spent mixing, in percent, over the last half second of
// audio produced.
float BASS_GetCPU();

// The reason for the last failure of a call on this thread; BASS_OK after a
// call that succeeded.
int BASS_ErrorGetCode();

// }====

// {==== Samples, streams, modules ============================================
//
// The sources are a region of a file: fp_pFile names the file, the region
// starts at fp_uOffset and is fp_uLength bytes long (0: to the end of the
// file). With fp_bMem non-zero the region is the fp_uLength bytes at
// fp_pFile + fp_uOffset in memory; a stream keeps reading that memory while it
// exists. Samples and streams: WAV, OGG Vorbis, FLAC and the
// other formats of the sound-file decoder. Modules: MOD, MTM, S3M, XM, IT.

// At most fp_uMax playbacks run at once (0 counts as 1, more than 65535 as
// 65535).
HSAMPLE BASS_SampleLoad(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset, DWORD fp_uLength,
                        DWORD fp_uMax, DWORD fp_uFlags);
// A new playback from sample frame fp_uStart with the given attributes (-1,
// -1, -101 take the sample's own rate, 100 and the centre).
HCHANNEL BASS_SamplePlayEx(HSAMPLE fp_hSample, DWORD fp_uStart, int fp_iFreq, int fp_iVolume,
                           int fp_iPan, BOOL fp_bLoop);
BOOL BASS_SampleStop(HSAMPLE fp_hSample);  // stops every playback
void BASS_SampleFree(HSAMPLE fp_hSample);

HSTREAM BASS_StreamCreateFile(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset,
                              DWORD fp_uLength, DWORD fp_uFlags);
// Plays from the start with fp_bFlush (or after the stream ended), else from
// where it stopped; fp_uFlags BASS_PLAY_LOOP repeats it. Playing a stream or
// a module undoes a fade-out in progress (BASS_ChannelSlideAttributes).
BOOL BASS_StreamPlay(HSTREAM fp_hStream, BOOL fp_bFlush, DWORD fp_uFlags);
void BASS_StreamFree(HSTREAM fp_hStream);

HMUSIC BASS_MusicLoad(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset, DWORD fp_uLength,
                      DWORD fp_uFlags);
// Plays from fp_uPos (order | row << 16, or BASS_MUSIC_POS_CURRENT; a module
// that ran to its end starts over); fp_iFlags BASS_PLAY_LOOP repeats the
// module, -1 keeps the last flags. Moving to a position always resets the
// player's state, so fp_bReset asks for nothing more.
BOOL BASS_MusicPlayEx(HMUSIC fp_hMusic, DWORD fp_uPos, int fp_iFlags, BOOL fp_bReset);
void BASS_MusicFree(HMUSIC fp_hMusic);

// }====

// {==== Channels =============================================================
//
// A channel handle is a sample playback, a stream or a module; a sample
// handle stands for all of that sample's playbacks at once.

BOOL BASS_ChannelStop(DWORD fp_hChannel);
BOOL BASS_ChannelPause(DWORD fp_hChannel);   // playing -> paused; otherwise nothing
BOOL BASS_ChannelResume(DWORD fp_hChannel);  // paused -> playing; otherwise nothing
BOOL BASS_ChannelSetAttributes(DWORD fp_hChannel, int fp_iFreq, int fp_iVolume, int fp_iPan);
BOOL BASS_ChannelGetAttributes(DWORD fp_hChannel, DWORD* fp_pFreq, DWORD* fp_pVolume, int* fp_pPan);
// Slides each given attribute from its value now to the target over fp_uTime
// ms of rendered audio (time passes while the channel plays). A volume of -2
// fades out and then stops the channel, which keeps its volume from before
// the fade for its next play.
BOOL BASS_ChannelSlideAttributes(DWORD fp_hChannel, int fp_iFreq, int fp_iVolume, int fp_iPan,
                                 DWORD fp_uTime);
DWORD BASS_ChannelIsActive(DWORD fp_hChannel);  // BASS_ACTIVE_...
// Peak levels of the channel in the last block mixed (playing channels only).
DWORD BASS_ChannelGetLevel(DWORD fp_hChannel);

// }====

}  // namespace audio
