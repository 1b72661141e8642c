// The parcel list's saved file: any bytes as the file, and the round trip of what an answer
// leaves in a record through the file.

#include "fuzz_support.h"
#include "parcels/parcel_state.h"
#include "parcels/parcels_file.h"
#include "tracking/answer.h"

namespace {

QByteArray described(const parcels::ParcelsState& state) {
    QByteArray text = QByteArray::number(state.parcels.size()) + " parcels, interval " +
                      QByteArray::number(state.watch.intervalMinutes);
    if (!state.parcels.isEmpty()) {
        text += ", first " + fuzz::shown(state.parcels.firstKey().number);
    }
    return text;
}

// Any bytes as the file: what is read is within the file's promises, and written again it
// reads back the same, in the same bytes.
void checkFile(QByteArrayView bytes) {
    const parcels::ParcelsState state = parcels::decodeParcels(bytes);
    FUZZ_CHECK(state.watch.intervalMinutes >= parcels::kMinWatchMinutes &&
                   state.watch.intervalMinutes <= parcels::kMaxWatchMinutes,
               described(state));
    FUZZ_CHECK(state.parcels.size() <= parcels::kMaxParcels, described(state));
    for (auto it = state.parcels.cbegin(); it != state.parcels.cend(); ++it) {
        FUZZ_CHECK(parcels::isStorable(it.key(), it.value()),
                   "kept, not storable: " + fuzz::shown(it.key().number));
    }
    const QByteArray written = parcels::encodeParcels(state);
    const parcels::ParcelsState back = parcels::decodeParcels(written);
    FUZZ_CHECK(back == state, described(state) + " read back as " + described(back));
    FUZZ_CHECK(parcels::encodeParcels(back) == written, "written twice, not the same bytes");
}

// The text as an answer: the record it leaves is storable and comes back whole, under a key
// cut from the same text.
void checkAnswer(const QString& page) {
    const parcels::Reading reading = parcels::readAnswer(parcels::FetchEnd::Answered, page);
    FUZZ_CHECK(reading.lineCount >= 0 && reading.lineCount <= tracking::kMaxRowCount,
               QByteArray::number(reading.lineCount));
    FUZZ_CHECK(parcels::hasLines(reading.status) == (reading.lineCount > 0),
               "status and count disagree: " + QByteArray::number(reading.lineCount));
    const QDateTime queried = QDateTime::fromMSecsSinceEpoch(Q_INT64_C(1796311800000), Qt::UTC);
    parcels::ParcelRecord first = parcels::recordQuery({}, reading, queried);
    FUZZ_CHECK(!first.moved, "moved on the first answer");
    const parcels::ParcelRecord second = parcels::recordQuery(first, reading, queried);
    FUZZ_CHECK(!second.moved, "moved on the same answer again");

    // A key of the page's start; a cut that splits a surrogate pair is not storable and is
    // left out of the file.
    const parcels::ParcelKey key{page.left(parcels::kMaxKeyChars), page.left(8)};
    const bool storableKey =
        parcels::isStorable(key, parcels::recordQuery({}, parcels::Reading{}, queried));
    FUZZ_CHECK(parcels::isStorable({"SF1", "顺丰快递"}, second), "answer record not storable");

    parcels::ParcelsState state;
    state.parcels.insert({"SF1", "顺丰快递"}, second);
    state.parcels.insert(key, first);
    const parcels::ParcelsState back = parcels::decodeParcels(parcels::encodeParcels(state));
    if (!storableKey) {
        state.parcels.remove(key);
    }
    FUZZ_CHECK(back == state, described(state) + " read back as " + described(back));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkFile(fuzz::bytesOf(data, size));
    checkAnswer(fuzz::asUtf8(data, size));
    checkAnswer(fuzz::asGbk(data, size));
    checkAnswer(fuzz::asUtf16(data, size));
    return 0;
}
