// Resource demands: the integer ID of a resource by its string ID, loading
// the resource first when it is not loaded yet.
#pragma once

// Each returns the resource's integer ID in its manager and throws (type
// Game) "Invalid ... demand. ID = " when it cannot be had. The sound, music
// and playlist demands return -2 at once while there is no sound output.
int M2DUTIL_DemandTexture(const char* fp_pszID);
// The technique is loaded through the pack that declares it.
int M2DUTIL_DemandTechnique(const char* fp_pszID, const char* fp_pszTechPackID);
int M2DUTIL_DemandFont(const char* fp_pszID);
int M2DUTIL_DemandSound(const char* fp_pszID);
int M2DUTIL_DemandMusic(const char* fp_pszID);
int M2DUTIL_DemandPlaylist(const char* fp_pszID);
