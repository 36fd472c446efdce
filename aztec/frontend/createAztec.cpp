#include "createAztec.h"

#include "Aztec.h"
#include "bitmapfile.h"

#include <vector>

extern "C" AZTEC_EXPORT void AZTEC_CALL createAztec(char format, char encoding, char level,
                                                    unsigned short dataLen, char* data, char* file) {
    const int formatValue = static_cast<signed char>(format);
    const int levelValue = static_cast<signed char>(level);
    if (file == nullptr || formatValue >= Aztec::CONFIGURATION_COUNT || levelValue < 0 || levelValue > 99)
        return;

    std::vector<int> bytes;
    if (data != nullptr)
        for (unsigned i = 0; i < dataLen; ++i)
            bytes.push_back(static_cast<unsigned char>(data[i]));

    Aztec aztec;
    aztec.setBinaryCode(bytes.data(), static_cast<int>(bytes.size()));
    aztec.setEncoding(static_cast<signed char>(encoding));
    aztec.setErrorCorrectionLevel(levelValue);
    aztec.setPreferredConfiguration(formatValue);
    aztec.setAutoConfigurate(true);
    aztec.setProcessTilde(true);
    aztec.setConfigurationType(Aztec::CONFIGURATION_ANY);
    aztec.paint();
    if (aztec.getStatus() != Aztec::STATUS_OK)
        return;
    bitmapfile writer;
    writer.write(file, aztec.bitmap.data(), aztec.rows, aztec.cols);
}
