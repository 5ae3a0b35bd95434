#include "session/AlbumGains.h"

#include <algorithm>

std::string CAlbumGains::AlbumKey(const std::string& albumArtist, const std::string& artist,
                                  const std::string& album, const std::string& folder,
                                  std::string* name) {
    if (album.empty()) {
        if (name) *name = folder;
        return std::string("\x01") + folder;
    }
    const std::string& by = albumArtist.empty() ? artist : albumArtist;
    if (name) *name = by.empty() ? album : by + " - " + album;
    return by + '\x1f' + album;
}

void CAlbumGains::Begin(const std::vector<Member>& members) {
    std::lock_guard lock(m_mutex);
    m_keys.clear();
    m_albums.clear();
    m_order.clear();
    m_failed.clear();
    for (const Member& member : members) {
        m_keys[member.File] = member.Key;
        auto [album, added] = m_albums.try_emplace(member.Key);
        if (added) {
            album->second.Name = member.Name;
            m_order.push_back(member.Key);
        }
        ++album->second.Tracks;
    }
}

bool CAlbumGains::TrackDone(const void* file, const std::string& output,
                            std::unique_ptr<CLoudnessMeter> meter, Ready* ready) {
    std::lock_guard lock(m_mutex);
    const auto key = m_keys.find(file);
    if (key == m_keys.end()) return false;
    Album& album = m_albums[key->second];
    m_keys.erase(key);  // a track counts once
    ++album.Done;
    if (!meter) {
        // The album gets no figures: the measurements of its tracks are needed no longer.
        album.Unmeasured = true;
        album.Meters.clear();
    } else if (!album.Unmeasured) {
        album.Meters.push_back(std::move(meter));
    }
    album.Outputs.push_back(output);
    if (album.Done < album.Tracks || album.Unmeasured) return false;
    std::vector<const CLoudnessMeter*> meters;
    double peak = 0.0;
    for (const auto& each : album.Meters) {
        meters.push_back(each.get());
        peak = std::max(peak, each->Peak());
    }
    double lufs = 0.0;
    const bool measured = CLoudnessMeter::AlbumLoudness(meters, &lufs);
    // The states are needed no longer; an album of a long run holds no memory past its end.
    album.Meters.clear();
    if (!measured) {
        album.Unmeasured = true;
        return false;
    }
    ready->Name = album.Name;
    ready->Album.Gain = ReplayGainOf(lufs);
    ready->Album.Peak = peak;
    ready->Outputs = album.Outputs;
    return true;
}

void CAlbumGains::AlbumFailed(const std::string& name, const std::string& why) {
    std::lock_guard lock(m_mutex);
    m_failed.push_back(name + ": " + why);
}

void CAlbumGains::End() {
    std::lock_guard lock(m_mutex);
    for (auto& [key, album] : m_albums) album.Meters.clear();
}

std::vector<std::string> CAlbumGains::GetMissing() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> missing;
    for (const std::string& key : m_order) {
        const Album& album = m_albums.at(key);
        if (album.Unmeasured)
            missing.push_back(album.Name + ": a track could not be measured or tagged");
        // An album none of whose tracks was written in this run (all up to date, say) keeps
        // the figures its outputs have: nothing to say about it.
        else if (album.Done > 0 && album.Done < album.Tracks)
            missing.push_back(album.Name + ": a track failed, was stopped or skipped");
    }
    missing.insert(missing.end(), m_failed.begin(), m_failed.end());
    return missing;
}
