// Loads the card files the tests are written against.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadCardFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::string ReadTestCards(const char* name)
{
    return ReadCardFile(std::string(CARD_DATA_DIR) + "/" + name);
}
