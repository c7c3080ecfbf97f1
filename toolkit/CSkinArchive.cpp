#include "toolkit/CSkinArchive.h"

#include <zip.h>

CSkinArchive::~CSkinArchive()
{
    Close();
}

bool CSkinArchive::Open(const std::string& path)
{
    Close();
    int error = 0;
    m_zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    return m_zip != nullptr;
}

void CSkinArchive::Close()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
}

std::optional<std::string> CSkinArchive::Read(std::string_view name) const
{
    if (!m_zip || name.empty())
        return std::nullopt;
    const std::string entryName(name);
    zip_int64_t index = zip_name_locate(m_zip, entryName.c_str(), 0);
    if (index < 0)
        index = zip_name_locate(m_zip, entryName.c_str(), ZIP_FL_NODIR);
    if (index < 0)
        return std::nullopt;

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t got = zip_fread(file, bytes.data() + done, stat.size - done);
        if (got <= 0)
            break;
        done += static_cast<zip_uint64_t>(got);
    }
    zip_fclose(file);
    if (done != stat.size)
        return std::nullopt;
    return bytes;
}
