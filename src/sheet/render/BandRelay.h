#pragma once

#include <QImage>

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orv::sheet {

// Hands picture bands painted on the calling thread to consumers that each
// run on a thread of their own (the picture's encoder and keeper), so that
// painting and encoding overlap. Every consumer sees every band, in order; a
// band's image is painted over again only once every consumer is done with
// it.
//
//     BandRelay relay(images, {encode});
//     for (each band) {
//         QImage &image = relay.nextImage();   // waits for a free image
//         paint into image;
//         relay.hand(top, rows);
//     }
//     relay.finish();                           // waits, rethrows a consumer's failure
//
// A consumer that throws stops the relay: nextImage() and finish() rethrow
// its exception on the calling thread. Destroying an unfinished relay (the
// painting failed) stops and joins the consumers.
class BandRelay {
public:
    using Consumer = std::function<void(const QImage &band, int top, int rows)>;

    // `images` are the band images painted in turn (two or more let painting
    // run ahead of the consumers).
    BandRelay(std::vector<QImage> images, std::vector<Consumer> consumers);
    ~BandRelay();
    BandRelay(const BandRelay &) = delete;
    BandRelay &operator=(const BandRelay &) = delete;

    // The image the next band is painted into, once every consumer is done
    // with its earlier band.
    QImage &nextImage();
    // Hands the band just painted into nextImage() to every consumer.
    void hand(int top, int rows);
    // Waits until every consumer has taken every band.
    void finish();

private:
    struct Band {
        int top = 0;
        int rows = 0;
    };

    void consume(std::size_t consumer);
    void stop();
    void rethrowFailure();
    std::size_t slowestDone() const;

    std::vector<QImage> mImages;
    std::vector<Consumer> mConsumers;
    std::vector<Band> mBands; // by image
    std::vector<std::size_t> mDone; // bands taken, by consumer
    std::size_t mHanded = 0;
    bool mStopping = false;
    std::exception_ptr mFailure;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<std::thread> mThreads;
};

} // namespace orv::sheet
