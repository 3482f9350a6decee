// The emulation's client-side vertex arrays upload as many vertices as a
// draw has indices, from the first, but an indexed draw may reach anywhere
// in its arrays (the city draws each block's indices into the whole model):
// upload just the vertices from the smallest to the largest index instead.
// Otherwise the emulation's own glDrawElements.
mergeInto(LibraryManager.library, {
  $qvdUploadClientArrays: function(first, end) {
    GL.resetBufferBinding = false;
    for (var i = 0; i < GL.currentContext.maxVertexAttribs; ++i) {
      var cb = GL.currentContext.clientBuffers[i];
      if (!cb.clientside || !cb.enabled)
        continue;
      GL.resetBufferBinding = true;
      var from = GL.calcBufLength(cb.size, cb.type, cb.stride, first);
      var to = GL.calcBufLength(cb.size, cb.type, cb.stride, end);
      GLctx.bindBuffer(0x8892 /*GL_ARRAY_BUFFER*/, GL.getTempVertexBuffer(to));
      GLctx.bufferSubData(0x8892, from, HEAPU8.subarray(cb.ptr + from, cb.ptr + to));
      cb.vertexAttribPointerAdaptor.call(GLctx, i, cb.size, cb.type, cb.normalized, cb.stride, 0);
    }
  },

  glDrawElements__deps: ['$qvdUploadClientArrays'],
  glDrawElements: function(mode, count, type, indices) {
    var first = 0;
    var end = count;
    var clientIndices = !GLctx.currentElementArrayBufferBinding;
    if (clientIndices) {
      var size = GL.calcBufLength(1, type, 0, count);
      GLctx.bindBuffer(0x8893 /*GL_ELEMENT_ARRAY_BUFFER*/, GL.getTempIndexBuffer(size));
      GLctx.bufferSubData(0x8893, 0, HEAPU8.subarray(indices, indices + size));
      var list = type == 0x1405 /*GL_UNSIGNED_INT*/ ? HEAPU32.subarray(indices >> 2, (indices >> 2) + count)
        : type == 0x1403 /*GL_UNSIGNED_SHORT*/ ? HEAPU16.subarray(indices >> 1, (indices >> 1) + count)
        : HEAPU8.subarray(indices, indices + count);
      first = count ? list[0] : 0;
      var top = first;
      for (var i = 1; i < count; i++) {
        if (list[i] < first)
          first = list[i];
        else if (list[i] > top)
          top = list[i];
      }
      end = top + 1;
      indices = 0;
    }
    qvdUploadClientArrays(first, end);
    GLctx.drawElements(mode, count, type, indices);
    GL.postDrawHandleClientVertexAttribBindings();
    if (clientIndices)
      GLctx.bindBuffer(0x8893, null);
  },
});
