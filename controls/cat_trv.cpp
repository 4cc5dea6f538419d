/* Catalogue tables of the tree view (control type 6).  Node parameters are
   the addresses of the control's node records. */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm addnodes[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "referenceNode",
         "Specifies the node that serves as the relative node to new nodes"),
    parm(WU_CAT_IN, WU_VT_NODE, "newNodes", "Specifies an VRQ list containing new nodes"),
    parm(WU_CAT_IN, WU_VT_INT, "insertMode", "Specifies the insertion positions of the new nodes"),
};
constexpr wu_cat_parm del[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to delete"),
};
constexpr wu_cat_parm delchildren[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node containing the children to delete"),
};
constexpr wu_cat_parm expand[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to expand"),
};
constexpr wu_cat_parm collapse[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to collapse"),
};
constexpr wu_cat_parm find[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "startNode", "Specifies the node to start the search from"),
    parm(WU_CAT_IN, WU_VT_STRING, "text", "Specifies the text string to search for"),
    parm(WU_CAT_IN, WU_VT_INT, "searchType", "Specifies the search type to perform"),
    parm(WU_CAT_IN, WU_VT_FUNCTION, "callback", "A callback routine that will not be surfaced"),
    parm(WU_CAT_OUT, WU_VT_NODE, "foundNode", "Specifies the node containing the found text string"),
};
constexpr wu_cat_parm dndnode[] = {parm(WU_CAT_IN, WU_VT_DROP), parm(WU_CAT_OUT, WU_VT_NODE)};
constexpr wu_cat_parm update[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to update"),
};
constexpr wu_cat_parm getparent[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to retrieve the parent from"),
    parm(WU_CAT_OUT, WU_VT_NODE, "parent", "Returns the parent of the specified node"),
};
constexpr wu_cat_parm getchild[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to retrieve the child from"),
    parm(WU_CAT_OUT, WU_VT_NODE, "child", "Returns the first child of the specified node"),
};
constexpr wu_cat_parm getprevious[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to retrieve the previous sibling from"),
    parm(WU_CAT_OUT, WU_VT_NODE, "previousSibling",
         "Returns the previous sibling of the specified node"),
};
constexpr wu_cat_parm getnext[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the node to retrieve the next sibling from"),
    parm(WU_CAT_OUT, WU_VT_NODE, "nextSibling", "Returns the next sibling of the specified node"),
};
constexpr wu_cat_parm selectnode[] = {
    parm(WU_CAT_IN, WU_VT_NODE, "node", "Specifies the focus node"),
};
constexpr wu_cat_parm getnode[] = {
    parm(WU_CAT_IN, WU_VT_WORD, "key", "Specifies the key used to get a node"),
    parm(WU_CAT_OUT, WU_VT_NODE, "node", "Returns the specified node"),
};

constexpr wu_cat_parm ev_node[] = {parm(WU_CAT_IN, WU_VT_NODE)};
constexpr wu_cat_parm ev_free[] = {parm(WU_CAT_IN, WU_VT_WORD)};
constexpr wu_cat_parm ev_keycommand[] = {parm(WU_CAT_IN, WU_VT_BOOL), parm(WU_CAT_IN, WU_VT_NODE)};

}  // namespace

extern "C" {

constexpr wu_cat_attr trvattrs[22] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, MINCHAR, MINROWS, USERDATA, ENABLED,
    VISIBLE,
    attr(WU_A_NODES, "items", WU_VT_NODE, WU_CAT_GET, 148),
    EVENTS,
    attr(WU_A_SELECTEDNODE, "selectedNode", WU_VT_NODE, WU_CAT_SET, 133),
    attr(WU_A_RESIZABLE, "resizable", WU_VT_BOOL, WU_CAT_SET, 134, boolenum),
    TITLE, TITLEHEIGHT, KEYCOMMANDS, FONT,
    attr(WU_A_AUTOEXPAND, "autoExpand", WU_VT_BOOL, WU_CAT_SET, 182, boolenum),
    attr(WU_A_SELECTIONMODE, "selectionMode", WU_VT_INT, WU_CAT_CREATE, 143, tselenum),
    attr(WU_A_SELECTEDINDEXES, "selections", WU_VT_SELECTIONS, WU_CAT_GET, 196),
    TEXTORIENT_C,
};

constexpr wu_cat_method trvmethod[18] = {
    method(WU_M_ADDNODES, "_addNodes", 709, addnodes),
    method(WU_M_DELETENODE, "_delete", 710, del),
    method(WU_M_DELETECHILDREN, "_deleteChildren", 711, delchildren),
    method(WU_M_SHOWPOPUP, "_showPopup", 712, pstmenu),
    method(WU_M_EXPAND, "_expand", 714, expand),
    method(WU_M_COLLAPSE, "_collapse", 503, collapse),
    method(WU_M_TREEFINDEXACT, "_findExact", 705, find),
    method(WU_M_TREEFIND, "_find", 716, find),
    method(WU_M_DNDNODE, "_DNDNode", 717, dndnode),
    method(WU_M_UPDATE, "_update", 718, update),
    method(WU_M_UPDATENODE, "_updatenode", 740, update),
    method(WU_M_GETPARENT, "_getParent", 719, getparent),
    method(WU_M_GETCHILD, "_getChild", 724, getchild),
    method(WU_M_GETPREVIOUS, "_getPrevious", 726, getprevious),
    method(WU_M_GETNEXT, "_getNext", 725, getnext),
    method(WU_M_EDITNODE, "_editnode", 742, update),
    method(WU_M_SELECTNODE, "_selectNode", 752, selectnode),
    method(WU_M_GETNODE, "_getNode", 753, getnode),
};

constexpr wu_cat_event trvevent[11] = {
    method(WU_EV_SELECT, "click", 504, ev_node),
    method(WU_EV_EXPAND, "expand", 502, ev_node),
    method(WU_EV_COLLAPSE, "collapse", 503, ev_node),
    method(WU_EV_POPUP, "popup", 507, ev_node),
    method(WU_EV_FREE, "free", 508, ev_free),
    method(WU_EV_RESIZE, "resize", 509),
    method(WU_EV_KEYCOMMAND, "keyCommand", 513, ev_keycommand),
    method(WU_EV_DELETENODE, "deleteNode", 514, ev_node),
    method(WU_EV_BEGINEDIT, "beginEdit", 515, ev_node),
    method(WU_EV_ENDEDIT, "endEdit", 516, ev_node),
    method(WU_EV_DOUBLECLICK, "doubleClick", 510, ev_node),
};

}  // extern "C"
