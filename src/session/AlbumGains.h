#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "session/LoudnessMeter.h"
#include "tags/GainTags.h"

// The albums of a run, for their loudness figures. An album is the files of the run that share
// album artist (or, without one, artist) and album tags, wherever their folders are; a file
// without an album tag belongs with the others of its folder. Its figures are known once its
// last track is measured and placed: an album one of whose tracks failed, was stopped or
// skipped never gets there, and is reported. Safe to use from several worker threads at once.
class CAlbumGains {
public:
    // Where each track of the run stands.
    struct Member {
        const void* File = nullptr;
        std::string Key;   // from AlbumKey
        std::string Name;  // for the report
    };
    // An album whose last track is done: its figures and its outputs, to be tagged.
    struct Ready {
        std::string Name;
        GainFigures Album;
        std::vector<std::string> Outputs;
    };

    // The album a file belongs to: by its tags, else its folder; and the name it is reported
    // by ("Artist - Album", or the folder).
    static std::string AlbumKey(const std::string& albumArtist, const std::string& artist,
                                const std::string& album, const std::string& folder,
                                std::string* name);

    // Before a run: its tracks. Forgets the last run.
    void Begin(const std::vector<Member>& members);
    // A track's output is placed under output, measured by meter: the album when this was
    // its last track. No figures for an album of which one track could not be measured.
    bool TrackDone(const void* file, const std::string& output,
                   std::unique_ptr<CLoudnessMeter> meter, Ready* ready);
    // The album could not be tagged (why says what happened).
    void AlbumFailed(const std::string& name, const std::string& why);
    // The run is over: the measurements of albums that were never completed are let go.
    void End();
    // After the run: each album that got no figures, and why.
    std::vector<std::string> GetMissing() const;

private:
    struct Album {
        std::string Name;
        int Tracks = 0;
        int Done = 0;
        bool Unmeasured = false;
        std::vector<std::string> Outputs;
        std::vector<std::unique_ptr<CLoudnessMeter>> Meters;
    };

    mutable std::mutex m_mutex;
    std::unordered_map<const void*, std::string> m_keys;  // file -> album key
    std::unordered_map<std::string, Album> m_albums;
    std::vector<std::string> m_order;  // album keys as first met
    std::vector<std::string> m_failed;
};
