#pragma once
// Model files in a fresh temporary folder, for the tests of the model scan
// and of what the channels make of a model.
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/ArticModel.h"
#include "platform/Archive.h"
#include "platform/Text.h"

class ModelFolder {
public:
    // A new empty folder under the system's temporary folder.
    explicit ModelFolder(const std::string& tag) {
        const auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path_ = base / ("vexa_models_" + tag + "_" + std::to_string(i));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~ModelFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ModelFolder(const ModelFolder&) = delete;
    ModelFolder& operator=(const ModelFolder&) = delete;

    // The folder as the catalogue takes it: UTF-16, ending with '/'.
    std::u16string Folder() const { return Utf8ToUtf16(path_.string() + "/"); }

    // Writes the model's file under the given file name; `keep` cuts it short
    // (0 keeps it whole).
    void Write(const std::string& fileName, const CArticModel& model, size_t keep = 0) const {
        CArchive ar;
        model.Store(ar);
        std::vector<BYTE> bytes = ar.GetBuffer();
        if (keep) bytes.resize(keep);
        std::ofstream out(path_ / fileName, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // A model named `name` with the given voices, written as `fileName`.
    void WriteModel(const std::string& fileName, const std::string& name, std::initializer_list<int> voices = {1},
                    size_t keep = 0) const {
        CArticModel model;
        model.m_Name = name.c_str();
        for (int v : voices) model.m_Availability[v] = 1;
        Write(fileName, model, keep);
    }

private:
    std::filesystem::path path_;
};
