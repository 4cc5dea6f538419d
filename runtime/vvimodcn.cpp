// Module entry: the host calls mcn_main with its global control block and
// the image descriptor block of the loaded module, and follows the returned
// image-information record through the product control node to the main.
#include "runtime/wuhost.h"
#include "runtime/wummain.h"

#define WU_IMAGE_VERSION 1

extern "C" {

extern const qev_pcn pcn_QEVMOTIF;
const qev_pcn pcn_QEVMOTIF = {
    {'Q', 'E', 'V', 'M', 'O', 'T', 'I', 'F'}, WU_IMAGE_VERSION, 0, wummain, wumterm};

static const qev_image_info g_image_info = {
    {'I', 'M', 'G', 'I', 'N', 'F', 'O', ' '}, WU_IMAGE_VERSION, 0, &pcn_QEVMOTIF};

const qev_image_info *mcn_main(qev_gcb *gcb, qev_idb *idb) {
  wu_set_anchors(gcb, idb);
  return &g_image_info;
}

}  // extern "C"
