// The sound subsystem's objects over the audio library: M2DSound (a sample or
// a stream), M2DMusic (a tracker module loaded when it starts and released
// when it has stopped) and M2DPreloadedMusic (loaded once, kept).
#pragma once

#include <cstdint>
#include <string>

// One sound effect. A sample is decoded into memory once and may play several
// times at once; a stream is decoded from its file while it plays, once.
class M2DSound {
 public:
  M2DSound() = default;
  // Releases the library's handle; failures are not reported here (the
  // unload operations call Free, which reports them).
  ~M2DSound();
  M2DSound(const M2DSound&) = delete;
  M2DSound& operator=(const M2DSound&) = delete;

  void Load(bool fp_bIsStream, int fp_iMaxPlaybacks, bool fp_bNoOverride,
            const char* fp_pszFileName, int fp_iOffset, int fp_iLength);
  void Free();
  void Play(std::uint8_t fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan);
  void Stop();
  void Pause();
  void Resume();
  void SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan);
  void SlideAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan, int fp_iTime);
  std::uint32_t GetStatus();

  std::uint32_t sample = 0;
  std::uint32_t stream = 0;
  std::uint8_t isStream = 0;
  std::int32_t maxPlaybacks = 1;
  std::uint8_t noOverride = 0;
  std::string fileName;
  std::int32_t offset = 0;
  std::int32_t length = 0;
  std::uint8_t paused = 0;

 private:
  // The handle the channel operations take: the stream, or for a sample the
  // sample handle itself (it stands for all its playbacks).
  std::uint32_t Channel() const { return isStream == 1 ? stream : sample; }
};

// A piece of music played from a tracker module. This kind loads the module
// when it starts playing and releases it once the channel has stopped.
class M2DMusic {
 public:
  M2DMusic(const char* fp_pszFileName, int fp_iOffset, int fp_iLength);
  // Stops the music at once and releases the module.
  virtual ~M2DMusic();
  M2DMusic(const M2DMusic&) = delete;
  M2DMusic& operator=(const M2DMusic&) = delete;

  virtual void Play(std::uint8_t fp_bLoop);
  // fp_iFadeTime in ms; 0 stops at once, otherwise the channel fades out and
  // then stops.
  virtual void Stop(int fp_iFadeTime);
  virtual void Pause();
  virtual void Resume();
  virtual std::uint32_t GetStatus();
  virtual void SlideVolume(int fp_iVolume, int fp_iTime);
  virtual float GetLevelLeft();
  virtual float GetLevelRight();

  std::uint32_t handle = 0;
  std::string fileName;
  std::int32_t offset = 0;
  std::int32_t length = 0;
  std::uint8_t paused = 0;
  std::uint8_t loaded = 0;

 protected:
  // Loads the module from the file region; throws "Cannot load music!".
  void LoadModule();
  // Frees the module and marks the piece as not loaded.
  void ReleaseModule();
  // Starts the channel from the beginning; throws "Cannot start music playback!".
  void StartChannel(std::uint8_t fp_bLoop);
  // Fades the channel out and stops it over fp_iFadeTime ms.
  void FadeOutChannel(int fp_iFadeTime);
  // The level of one side (0 = left, low 16 bits; 1 = right, high 16 bits).
  float GetLevel(int fp_iSide);
  // Stops and frees the module without reporting failures (destructors).
  void ReleaseQuietly() noexcept;
};

// A piece whose module is loaded once, with the resource, and kept until the
// subsystem shuts down.
class M2DPreloadedMusic : public M2DMusic {
 public:
  M2DPreloadedMusic(const char* fp_pszFileName, int fp_iOffset, int fp_iLength);
  ~M2DPreloadedMusic() override;

  // Restarts from the beginning, then slides back to the module's own rate
  // and full volume over 100 ms (this undoes an earlier fade-out).
  void Play(std::uint8_t fp_bLoop) override;
  void Stop(int fp_iFadeTime) override;
  std::uint32_t GetStatus() override;
};
