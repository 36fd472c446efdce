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

    Aztec encoder;
    encoder.setBinaryCode(bytes.data(), static_cast<int>(bytes.size()));
    encoder.setEncoding(static_cast<signed char>(encoding));
    encoder.setErrorCorrectionLevel(levelValue);
    encoder.setPreferredConfiguration(formatValue);
    encoder.setAutoConfigurate(true);
    encoder.setProcessTilde(true);
    encoder.setConfigurationType(Aztec::CONFIGURATION_ANY);
    encoder.paint();
    if (encoder.getStatus() != Aztec::STATUS_OK)
        return;
    bitmapfile writer;
    writer.write(file, encoder.bitmap.data(), encoder.rows, encoder.cols);
}
